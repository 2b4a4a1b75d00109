// What the window's cart work leaves in the fleet store: the cart it connects to, the logs it
// reads, the holders a PIN file names; a log is cleared only once it is kept, and a store that
// cannot be written never stands in the work's way.
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>

#include "app/cart_thread.h"
#include "fleet/fleet_store.h"
#include "pages/file_menu.h"
#include "pages/fleet_recorder.h"
#include "pages/log_page.h"
#include "pages/main_window_model.h"
#include "pages/pin_list_page.h"
#include "pages/testing_page.h"
#include "pages/threaded_runner.h"
#include "support/controller_settings.h"
#include "support/recording_ui.h"
#include "support/sim_fixture.h"
#include "support/temp_dir.h"
#include "support/window_queue.h"

namespace {

using molvane::FleetRecorder;
using molvane::FleetStore;
using testing_support::SimFixture;

struct WindowRecords : ::testing::Test {
  WindowRecords() {
    // The cart is there already: the check has no notices or PIN warnings to give.
    monitor.previousCartCount = 1;
    monitor.SetFleetRecorder(fleet);
    log.SetFleetRecorder(fleet);
    pins.SetFleetRecorder(fleet);
  }
  int CartEvents() {
    return fixture.Cart([](cartsim::CartModel& cart) { return cart.Events().Count(); });
  }
  // The store as another program sees it afterwards.
  std::vector<molvane::CartSummary> Carts() {
    FleetStore store(molvane::ChooseFleetLocation(storeFile, "", "", ""));
    auto carts = store.Carts();
    EXPECT_TRUE(carts) << carts.outcome.text;
    return carts.value;
  }

  SimFixture fixture;
  testing_support::RecordingUi ui;
  std::string storeFile = fixture.dir.File("fleet.db");
  std::shared_ptr<FleetRecorder> fleet = std::make_shared<FleetRecorder>(storeFile);
  molvane::LogPage log{fixture.controller, ui};
  molvane::PinListPage pins{fixture.controller, ui};
  molvane::MainWindowModel monitor{fixture.controller, ui, {}};
};

TEST_F(WindowRecords, AConnectionRecordsTheCartAndEveryWholeLogReadIsArchived) {
  ASSERT_TRUE(fixture.Connect());
  monitor.CheckConnection();
  EXPECT_EQ(monitor.ConnectionText(), "Connected");
  auto carts = Carts();
  ASSERT_EQ(carts.size(), 1u);
  EXPECT_FALSE(carts[0].identity.serialNumber.empty());
  EXPECT_GT(carts[0].firstSeen, 0);
  EXPECT_EQ(carts[0].archivedEvents, 0);

  log.GetList();
  log.GetList();  // the same events again are kept once
  carts = Carts();
  ASSERT_EQ(carts.size(), 1u);
  EXPECT_EQ(carts[0].archivedEvents, CartEvents());
  EXPECT_GT(carts[0].archivedEvents, 0);
  EXPECT_TRUE(ui.boxes.empty());
  EXPECT_TRUE(ui.notices.empty());
}

TEST_F(WindowRecords, ImportedPinFileNamesItsHoldersAndTheListReadIsCounted) {
  ASSERT_TRUE(fixture.Connect());
  const std::string names = fixture.dir.File("staff.txt");
  testing_support::WriteFile(names, "PIN\tName\r\n555\tAnn Smith\r\n666\tBob Jones\r\n");
  ui.fileNames = {names};
  pins.Import();
  ASSERT_TRUE(ui.boxes.empty()) << ui.Texts().at(0);
  ASSERT_TRUE(fixture.Cart([](cartsim::CartModel& cart) { return cart.EnterPinOnKeypad(555); }));
  log.GetList();

  FleetStore store(molvane::ChooseFleetLocation(storeFile, "", "", ""));
  molvane::EventQuery query;
  query.holder = "ann smith";
  query.cart = Carts().at(0).identity.serialNumber;
  const auto ann = store.Events(query);
  ASSERT_TRUE(ann) << ann.outcome.text;
  ASSERT_EQ(ann.value.events.size(), 1u);
  EXPECT_EQ(ann.value.events[0].pin, 555u);
  EXPECT_EQ(ann.value.events[0].holder, "Ann Smith");
  const int held = fixture.Cart([](cartsim::CartModel& cart) { return cart.Pins().Count(); });
  EXPECT_GE(held, 2);
  EXPECT_EQ(Carts().at(0).pinActivationTimes.size(), static_cast<std::size_t>(held));
}

// Clearing keeps the log's trail first; with a store that cannot keep it the cart keeps it.
TEST_F(WindowRecords, ClearingTheLogArchivesItFirstOrRefuses) {
  struct Case {
    const char* name;
    std::string storeContent;  // empty: no file yet
    bool cleared;
  };
  for (const Case& c : {Case{"a store to write", "", true},
                        Case{"a file that is no store", "not a database\n", false}}) {
    SCOPED_TRACE(c.name);
    SimFixture cart;
    testing_support::RecordingUi boxes;
    const std::string file = cart.dir.File("fleet.db");
    if (!c.storeContent.empty()) testing_support::WriteFile(file, c.storeContent);
    molvane::LogPage page{cart.controller, boxes};
    page.SetFleetRecorder(std::make_shared<FleetRecorder>(file));
    ASSERT_TRUE(cart.Connect());
    const int before = cart.Cart([](cartsim::CartModel& m) { return m.Events().Count(); });
    ASSERT_GT(before, 0);

    page.ClearList();
    const int after = cart.Cart([](cartsim::CartModel& m) { return m.Events().Count(); });
    if (c.cleared) {
      EXPECT_EQ(after, 0);
      EXPECT_TRUE(boxes.boxes.empty());
      FleetStore store(molvane::ChooseFleetLocation(file, "", "", ""));
      const auto carts = store.Carts();
      ASSERT_TRUE(carts && carts.value.size() == 1u);
      EXPECT_EQ(carts.value[0].archivedEvents, before);
    } else {
      EXPECT_EQ(after, before);
      ASSERT_EQ(boxes.Errors().size(), 1u);
      EXPECT_NE(boxes.Errors()[0].find("the log was not cleared: its events could not be "
                                       "archived in the fleet store (The fleet store " +
                                       file + " is not an SQLite database"),
                std::string::npos)
          << boxes.Errors()[0];
      EXPECT_EQ(testing_support::ReadFile(file), c.storeContent);
      EXPECT_TRUE(boxes.notices.empty()) << "the refusal says it already";
    }
  }
}

// The work ends as it would; the operator hears once, without a box, that nothing was kept. The
// store is used where the cart work runs, on the cart thread.
TEST_F(WindowRecords, AStoreThatCannotBeWrittenIsOneNoticeAndNoFailure) {
  testing_support::WriteFile(storeFile, "not a database\n");
  ASSERT_TRUE(fixture.Connect());
  testing_support::WindowQueue window;
  molvane::CartThread& worker = fixture.controller.Worker();
  molvane::ThreadedRunner runner(worker, window.Dispatch());
  for (molvane::CartClient* client :
       std::initializer_list<molvane::CartClient*>{&monitor, &log, &pins})
    client->SetRunner(&runner);
  monitor.CheckConnection();
  log.GetList();
  pins.Refresh();
  log.GetList();
  ASSERT_TRUE(window.RunUntil([&] { return worker.Idle() && runner.Held() == 0; }));

  EXPECT_FALSE(log.lines.empty());
  EXPECT_FALSE(pins.pinLines.empty());
  EXPECT_TRUE(ui.boxes.empty()) << ui.Texts().at(0);
  ASSERT_EQ(ui.notices.size(), 1u);
  EXPECT_NE(ui.notices[0].find("is not an SQLite database"), std::string::npos) << ui.notices[0];
}

// A backup is kept with how it ended, and with it the log's trail. Each case has its own cart
// and store: two backups in one second would keep the first as the latest.
TEST(WindowBackupRecord, ABackupIsRecordedWrittenOrNot) {
  for (const bool writable : {false, true}) {
    SCOPED_TRACE(writable ? "written" : "not written");
    SimFixture cart;
    testing_support::RecordingUi ui;
    const std::string storeFile = cart.dir.File("fleet.db");
    const std::string file = cart.dir.File(writable ? "cart.txt" : "no/such/folder/cart.txt");
    molvane::FileMenu menu{cart.controller, ui};
    menu.SetFleetRecorder(std::make_shared<FleetRecorder>(storeFile));
    ASSERT_TRUE(cart.Connect());
    ui.fileNames = {file};
    menu.BackUpCart();

    FleetStore store(molvane::ChooseFleetLocation(storeFile, "", "", ""));
    const auto carts = store.Carts();
    ASSERT_TRUE(carts && carts.value.size() == 1u) << carts.outcome.text;
    const molvane::CartSummary& record = carts.value[0];
    ASSERT_TRUE(record.lastBackup);
    EXPECT_EQ(record.lastBackup->file, file);
    EXPECT_EQ(record.lastBackup->ok, writable);
    const int events = cart.Cart([](cartsim::CartModel& m) { return m.Events().Count(); });
    EXPECT_EQ(record.archivedEvents, writable ? events : 0);
    EXPECT_TRUE(ui.notices.empty());
  }
}

// The Testing page's title is a picture loaded into the display like any other: recorded with
// its file's hash once a poll finds the load ended.
TEST_F(WindowRecords, TheTestingPagesTitleIsRecordedAsAPictureLoad) {
  testing_support::SetTiming(fixture.controller, &molvane::Timing::bitmapSettleMs, 20);
  molvane::TestingPage testing{fixture.controller, ui};
  testing.SetFleetRecorder(fleet);
  testing.Start();
  ASSERT_TRUE(fixture.Connect());
  testing.cartName = "Ward 7";
  testing.Save();
  fixture.controller.WaitForTransfer();
  testing.Poll();

  const std::vector<molvane::CartSummary> carts = Carts();
  ASSERT_EQ(carts.size(), 1u);
  ASSERT_TRUE(carts[0].lastUpdate);
  const molvane::WorkSummary& load = *carts[0].lastUpdate;
  EXPECT_EQ(load.kind, molvane::CartWork::Kind::Bitmap);
  EXPECT_EQ(load.file, fixture.dir.File("CustomerTitle.bmp"));
  EXPECT_TRUE(load.ok);
  EXPECT_EQ(load.outcome, "Bitmap Update Complete.");
  EXPECT_EQ(load.sha256.size(), 64u);
  EXPECT_TRUE(ui.notices.empty());
}

}  // namespace
