// The Log page against the simulated cart: when it reads the log, the order of its lines,
// clearing, and what an export tells the operator.
#include "pages/log_page.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "app/cart_controller.h"
#include "app/cart_thread.h"
#include "cart/event_log_texts.h"
#include "pages/pin_list_page.h"
#include "support/controller_settings.h"
#include "support/recording_ui.h"
#include "support/sim_fixture.h"
#include "support/window_queue.h"

namespace {

using Texts = std::vector<std::string>;

struct LogOnSimulatedCart : ::testing::Test {
  LogOnSimulatedCart() {
    fixture.Cart([](cartsim::CartModel& cart) { return cart.Events().Clear(), 0; });
  }
  // Noon in January: the same calendar time in every zone's winter.
  void AddEvent(std::uint32_t pin, cartsim::CartEventCode code, int day, int year) {
    const cartsim::CartSeconds when = cartsim::SecondsFromCartDate({0, 0, 12, day, 1, year});
    fixture.Cart([&](cartsim::CartModel& cart) {
      return cart.Events().Add({pin, static_cast<int>(code), when}), 0;
    });
  }
  testing_support::SimFixture fixture;
  testing_support::RecordingUi ui;
  molvane::LogPage page{fixture.controller, ui};
};

TEST_F(LogOnSimulatedCart, ReadsWhenShownInTheCartsOrderClearsAndExportsTellingTheTruth) {
  ASSERT_TRUE(fixture.Connect());
  AddEvent(7, cartsim::CartEventCode::Access, 2, 11);
  AddEvent(0, cartsim::CartEventCode::PowerUp, 1, 9);  // older, yet listed after
  page.Start();
  page.CartNotice(true);
  testing_support::HeldTransfer transfer(
      fixture.controller);  // a transfer owns the port: nothing is sent
  page.Show(true);
  EXPECT_TRUE(page.lines.empty());
  page.Show(false);
  transfer.Release();
  page.Show(true);
  EXPECT_EQ(page.lines, (Texts{"12:00 1/02/2011  accessed pin: 7", "12:00 1/01/2009  powerup"}));
  AddEvent(0, cartsim::CartEventCode::FactoryReset, 3, 12);
  page.CartNotice(false);
  EXPECT_TRUE(page.lines.empty()) << "a cart going away takes its lines";
  page.CartNotice(true);
  EXPECT_EQ(page.lines.size(), 3u) << "in front: read at once";

  page.ClearList();  // without a question
  EXPECT_TRUE(page.lines.empty());
  EXPECT_TRUE(ui.boxes.empty());

  // The file holds the lines last read (none), not what the cart has gathered since.
  AddEvent(7, cartsim::CartEventCode::Access, 2, 11);
  const std::string file = fixture.dir.File("log.xls");
  const std::string missing = fixture.dir.File("no/such/folder/log.txt");
  ui.fileNames = {file, missing, ""};
  for (int i = 0; i < 3; ++i) page.Export();  // the last one cancelled
  EXPECT_EQ(testing_support::ReadFile(file), "Time\tDate\tAction\r\n");
  EXPECT_EQ(ui.Texts(),
            (Texts{"Log successfully written.",
                   "Exporting the log failed: The log could not be written to " + missing +
                       ". Check that the folder exists and may be written, that the "
                       "disk has room, and that the file is not open in another "
                       "program."}));
  EXPECT_EQ(ui.Errors().size(), 1u);
  EXPECT_EQ(ui.fileDialogs.at(0).types.at(0).label, "Worksheet Files (*.xls)");
  EXPECT_EQ(ui.fileDialogs.at(0).defaultExtension, "Pin Log Files");
}

}  // namespace

// A full log at the line's speed, read as the window reads it (the work on the cart thread, the
// result on the window's): the read shows how far it got, a cancel stops it at the next record
// and keeps the lines read before, and the operator is told.
TEST(LogOnTheCartThread, ACancelStopsTheReadAtOnceAndKeepsTheLinesShownBefore) {
  testing_support::SimFixture fixture({}, true);
  ASSERT_TRUE(fixture.Connect());
  testing_support::RecordingUi ui;
  testing_support::WindowQueue window;
  molvane::CartThread& worker = fixture.controller.Worker();
  molvane::ThreadedRunner runner(worker, window.Dispatch());
  molvane::LogPage page(fixture.controller, ui);
  page.SetRunner(&runner);
  const auto getList = [&] { runner.AsOperatorAction("Get List", [&] { page.GetList(); }); };
  getList();
  ASSERT_TRUE(window.RunUntil([&] { return worker.Idle() && runner.Held() == 0; }));
  const Texts before = page.lines;
  ASSERT_FALSE(before.empty());

  fixture.Cart([](cartsim::CartModel& cart) {
    for (int i = 0; i < 1024; ++i) cart.Events().Add({7, 1, cart.Clock().Now()});
    return 0;
  });
  const std::size_t traced = fixture.Trace().size();
  getList();
  ASSERT_TRUE(window.RunUntil([&] { return worker.Current().done >= 100; }));
  EXPECT_EQ(worker.Current().title, "Get List (reading the log)") << "named by the action";
  EXPECT_EQ(worker.Current().total, 1024) << "out of the most the cart can hold";
  worker.CancelCurrent();
  ASSERT_TRUE(window.RunUntil([&] { return worker.Idle() && runner.Held() == 0; }));
  const std::string read = fixture.Trace().substr(traced);
  std::size_t records = 0;
  for (std::size_t at = read.find("RX: "); at != std::string::npos; at = read.find("RX: ", at + 1))
    ++records;
  EXPECT_LT(records, 900u) << "the read ended at the cancel, not at the end of the dump";
  EXPECT_EQ(page.lines, before);
  EXPECT_EQ(ui.Texts(), Texts{"Reading the log was cancelled."});
  EXPECT_TRUE(ui.Errors().empty()) << "a cancel is the operator's, no error";

  ui.boxes.clear();
  getList();
  ASSERT_TRUE(window.RunUntil([&] { return worker.Idle() && runner.Held() == 0; }, 60000));
  EXPECT_EQ(page.lines.size(), 1024u) << "the rest of the dump was read off: the next is whole";
  EXPECT_TRUE(ui.boxes.empty());
}

// Tabs changed back and forth while the cart thread is busy: each page's reading waits once,
// and only the page finally in front is read when the cart thread comes to them.
TEST(LogOnTheCartThread, TabChangesDuringALongReadEndInOneReadOfThePageInFront) {
  testing_support::SimFixture fixture;
  ASSERT_TRUE(fixture.Connect());
  testing_support::RecordingUi ui;
  testing_support::WindowQueue window;
  molvane::CartThread& worker = fixture.controller.Worker();
  molvane::ThreadedRunner runner(worker, window.Dispatch());
  molvane::LogPage log(fixture.controller, ui);
  molvane::PinListPage pins(fixture.controller, ui);
  for (molvane::PageModel* page : std::vector<molvane::PageModel*>{&log, &pins}) {
    page->SetRunner(&runner);
    page->Start();
    page->CartNotice(true);  // a cart came while both were hidden: each reads when shown
  }
  std::atomic<bool> release{false};
  ASSERT_TRUE(worker.Post([&] {
    while (!release) std::this_thread::yield();
  }));
  for (int change = 0; change < 30; ++change) {
    const bool logInFront = change % 2 == 1;
    pins.Show(!logInFront);
    log.Show(logInFront);
  }
  const std::size_t traced = fixture.Trace().size();
  release = true;
  ASSERT_TRUE(window.RunUntil([&] { return worker.Idle() && !log.lines.empty(); }));
  const std::string sent = fixture.Trace().substr(traced);
  EXPECT_EQ(sent.find("pin_list_dump"), std::string::npos) << "the page passed over is not read";
  std::size_t dumps = 0;
  for (std::size_t at = sent.find(", log_dump"); at != std::string::npos;
       at = sent.find(", log_dump", at + 1))
    ++dumps;
  EXPECT_EQ(dumps, 1u);
}
