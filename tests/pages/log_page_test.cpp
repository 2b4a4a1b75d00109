// The Log page against the simulated cart: when it reads the log, the order of its lines,
// clearing, and what an export tells the operator.
#include "pages/log_page.h"

#include <gtest/gtest.h>

#include "app/cart_controller.h"
#include "cart/event_log_texts.h"
#include "sim/cart_clock.h"
#include "support/recording_ui.h"
#include "support/sim_fixture.h"

namespace {

using molvane::LogPage;
using testing_support::ReadFile;
using Texts = std::vector<std::string>;

cartsim::SimCart::Options EmptyCart() {
  cartsim::SimCart::Options options;
  options.cart.startEmpty = true;
  return options;
}

struct LogOnSimulatedCart : ::testing::Test {
  LogOnSimulatedCart() { fixture.controller.SetUi(&ui); }
  // Noon in January: the same calendar time in every zone's winter.
  void AddEvent(std::uint32_t pin, cartsim::CartEventCode code, int day, int year) {
    fixture.Cart([&](cartsim::CartModel& cart) {
      cart.Events().Add({pin, static_cast<int>(code),
                         cartsim::SecondsFromCartDate({0, 0, 12, day, 1, year})});
      return 0;
    });
  }
  int EventsOnCart() {
    return fixture.Cart([](cartsim::CartModel& cart) { return cart.Events().Count(); });
  }

  testing_support::SimFixture fixture{EmptyCart()};
  testing_support::RecordingUi ui;
  LogPage page{fixture.controller};
};

TEST_F(LogOnSimulatedCart, ReadsWhenShownAfterACartWasFound) {
  ASSERT_TRUE(fixture.Connect());
  AddEvent(7, cartsim::CartEventCode::Access, 2, 11);
  AddEvent(0, cartsim::CartEventCode::PowerUp, 1, 9);  // older, yet listed after
  page.Start();
  page.CartNotice(true);
  EXPECT_TRUE(page.lines.empty()) << "a hidden page waits for its showing";
  fixture.controller.transferInProgress = 1;
  page.Show(true);
  EXPECT_TRUE(page.lines.empty()) << "nothing is sent while a transfer owns the port";
  page.Show(false);
  fixture.controller.transferInProgress = 0;
  page.Show(true);
  EXPECT_EQ(page.lines, (Texts{"12:00 1/02/2011  accessed pin: 7", "12:00 1/01/2009  powerup"}));

  // A cart going away keeps the lines; one arriving while the page is in front is read at once.
  AddEvent(0, cartsim::CartEventCode::FactoryReset, 3, 12);
  page.CartNotice(false);
  EXPECT_EQ(page.lines.size(), 2u);
  page.CartNotice(true);
  EXPECT_EQ(page.lines.size(), 3u);
  page.Show(false);
  page.Show(true);
  EXPECT_EQ(page.lines.size(), 3u);
  EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(LogOnSimulatedCart, ClearListEmptiesTheCartsLogWithoutAsking) {
  ASSERT_TRUE(fixture.Connect());
  AddEvent(7, cartsim::CartEventCode::Access, 2, 11);
  page.GetList();
  ASSERT_EQ(page.lines.size(), 1u);
  page.ClearList();
  EXPECT_TRUE(page.lines.empty());
  EXPECT_EQ(EventsOnCart(), 0);
  EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(LogOnSimulatedCart, ExportWritesTheLinesLastReadAndSaysWhetherItDid) {
  ASSERT_TRUE(fixture.Connect());
  page.GetList();
  const std::string empty = fixture.dir.File("empty.xls");
  ui.fileNames = {empty};
  page.Export();
  EXPECT_EQ(ReadFile(empty), "Time\tDate\tAction\r\n");
  ASSERT_EQ(ui.fileDialogs.size(), 1u);
  const molvane::FileDialogRequest& request = ui.fileDialogs[0];
  EXPECT_EQ(request.kind, molvane::FileDialogRequest::Kind::Save);
  ASSERT_EQ(request.types.size(), 3u);
  EXPECT_EQ(request.types[0].label, "Worksheet Files (*.xls)");
  EXPECT_EQ(request.types[1].patterns, "*.txt");
  EXPECT_EQ(request.types[2].patterns, "*.*");
  EXPECT_EQ(request.defaultExtension, "Pin Log Files");
  EXPECT_EQ(request.initialName, "");

  // The cart is not asked again: an event added since is not in the file.
  AddEvent(7, cartsim::CartEventCode::Access, 2, 11);
  const std::string still = fixture.dir.File("still.txt");
  const std::string missing = fixture.dir.File("no/such/folder/log.txt");
  ui.fileNames = {still, missing, ""};
  page.Export();
  page.Export();
  page.Export();  // cancelled: nothing happens
  EXPECT_EQ(ReadFile(still), "Time\tDate\tAction\r\n");
  EXPECT_EQ(ui.Texts(),
            (Texts{molvane::kLogWritten, molvane::kLogWritten, molvane::LogNotWritten(missing)}));
}

}  // namespace
