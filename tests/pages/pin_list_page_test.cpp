// The PIN list page against the simulated cart: what it lists, what it sends, and what it tells
// the operator.
#include "pages/pin_list_page.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/cart_thread.h"
#include "support/recording_ui.h"
#include "support/sim_fixture.h"
#include "support/window_queue.h"

namespace {

using molvane::PinListPage;
using molvane::UiServices;
using Strings = std::vector<std::string>;

constexpr std::int64_t kDay = 86400;

cartsim::SimCart::Options EmptyCart() {
  cartsim::SimCart::Options options;
  options.cart.startEmpty = true;
  return options;
}

struct PinListPageTest : ::testing::Test {
  // PINs stored on the cart as it stores them, the given number of days ago.
  void StoreOnCart(std::uint32_t pin, int ageDays) {
    fixture.Cart([&](cartsim::CartModel& cart) {
      return cart.Pins().Add(pin, cart.Clock().Now() - ageDays * kDay - 3600);
    });
  }
  bool CartHolds(std::uint32_t pin) {
    return fixture.Cart([&](cartsim::CartModel& cart) { return cart.Pins().Contains(pin); });
  }
  int CommandsSeen() {
    return fixture.sim.Inspect([](cartsim::SimCart& sim) { return sim.CommandsSeen(); });
  }

  testing_support::SimFixture fixture{EmptyCart()};
  testing_support::RecordingUi ui;
  PinListPage page{fixture.controller, ui};
};

TEST_F(PinListPageTest, ReadOnFirstShowingAfterTheCartWasFound) {
  ASSERT_TRUE(fixture.Connect());
  EXPECT_EQ(page.rfidBits, "--");
  EXPECT_EQ(page.facilityCode, "--");
  EXPECT_EQ(page.rfidMask, "------------");
  EXPECT_EQ(page.maxPinDigits, "4");
  EXPECT_FALSE(page.maskFilter.InForce());

  StoreOnCart(42, 0);
  const int before = CommandsSeen();
  page.Start();
  page.CartNotice(true);
  EXPECT_EQ(CommandsSeen(), before) << "a hidden page waits for its showing";
  page.Show(true);
  EXPECT_EQ(page.pinLines, Strings{"0000000042          0"});
  EXPECT_EQ(page.rfidBits, "26");
  EXPECT_EQ(page.rfidMask, "PFFFFFFFFBBBBBBBBBBBBBBBBP");
  EXPECT_EQ(page.facilityCode, "0");
  EXPECT_EQ(page.maxPinDigits, "6");
  EXPECT_TRUE(page.maskFilter.IsValid("PFB0123456789"));
  EXPECT_FALSE(page.maskFilter.IsValid("PFp"));

  // Shown: a cart found now is read at once. One that goes away takes its list and settings
  // with it, and there is nothing left to export as the cart's.
  StoreOnCart(7, 3);
  page.CartNotice(true);
  EXPECT_EQ(page.pinLines.size(), 2u);
  page.CartNotice(false);
  EXPECT_TRUE(page.pinLines.empty());
  EXPECT_EQ(page.rfidBits + page.facilityCode + page.rfidMask + page.maxPinDigits, "");
  page.Export();
  EXPECT_TRUE(ui.fileDialogs.empty());
}

TEST_F(PinListPageTest, ListedInNumericOrderWithAges) {
  ASSERT_TRUE(fixture.Connect());
  StoreOnCart(4294967295u, 1000);
  StoreOnCart(900, 3);
  StoreOnCart(1000, 40);
  ui.pins = {"42", std::nullopt};
  page.Add();
  page.Add();  // cancelled: nothing more is sent or listed
  EXPECT_EQ(page.pinLines, (Strings{"0000000042          0", "0000000900          3",
                                    "0000001000         40", "4294967295        1000"}));
  EXPECT_EQ(molvane::PinListLine(5, -2), "0000000005         -2");
}

TEST_F(PinListPageTest, CopyAllAndPaste) {
  ASSERT_TRUE(fixture.Connect());
  StoreOnCart(42, 1);
  StoreOnCart(7, 2);
  page.GetList();
  page.CopyAll();
  EXPECT_EQ(ui.clipboardWrites, Strings{"42\r\n7\r\n"}) << "the cart's order, CR LF after each";

  ui.clipboard = " 12  34 \r\n\r\n5678\t\r\n";
  page.Paste();
  EXPECT_TRUE(CartHolds(1234));
  EXPECT_TRUE(CartHolds(5678));
  EXPECT_EQ(page.pinLines.size(), 4u);

  ui.clipboard.reset();
  StoreOnCart(99, 0);
  page.Paste();
  EXPECT_EQ(page.pinLines.size(), 5u) << "nothing pasted, still read anew";

  // A line that is no PIN is checked as Add checks a typed one: nothing more goes out, and one
  // message says how far the paste got.
  ui.boxes.clear();
  ui.clipboard = "31\r\n12a\r\n32\r\n";
  page.Paste();
  EXPECT_TRUE(CartHolds(31));
  EXPECT_FALSE(CartHolds(32));
  EXPECT_EQ(ui.Errors(), Strings{"Pasting the PINs failed: 1 PIN(s) added, 2 not added: '12a' is "
                                 "not a PIN: The pin number must be less than 4294967296."});
}

// A full cart refuses a PIN with the box the cart's own limit has always had, and says what to
// do about it.
TEST_F(PinListPageTest, AFullCartRefusesAnotherPinUnderTheCaptionError) {
  ASSERT_TRUE(fixture.Connect());
  for (std::uint32_t pin = 1; pin <= 128; ++pin) StoreOnCart(pin, 0);
  page.GetList();
  ui.pins = {"5000"};
  page.Add();
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_TRUE(ui.boxes[0].error);
  EXPECT_EQ(ui.boxes[0].caption, "Error");
  EXPECT_EQ(ui.boxes[0].text,
            "Adding PIN 5000 failed: Max number of pins exceeded. The cart holds the most PINs "
            "it can keep: remove one before adding another.");
  EXPECT_FALSE(CartHolds(5000));
}

// A clear the cart stops answering part-way says so; the list keeps what was last read whole,
// and that list is not exported as if it were the cart's.
TEST_F(PinListPageTest, AClearCutShortIsToldAndAListNotReadIsNotExported) {
  ASSERT_TRUE(fixture.Connect());
  for (std::uint32_t pin : {11u, 22u, 33u}) StoreOnCart(pin, 1);
  page.GetList();
  const Strings before = page.pinLines;
  fixture.sim.faults.silentAfter =
      fixture.sim.Inspect([](cartsim::SimCart& sim) { return sim.CommandsSeen(); }) + 1;
  page.Clear();
  // One box: the clear's failure and, for another reason, the reading after it.
  EXPECT_EQ(ui.Texts(),
            (Strings{"Are you sure you wish to clear all of the pin numbers?",
                     "Clearing the PIN list failed: The PIN list was not cleared (1 of 3 PIN(s) "
                     "removed): PIN 22 was not removed: Error: Timeout. Check the cable; if the "
                     "cart stays silent, unplug it and plug it in again.\n"
                     "\nReading the PIN list failed: no cart is connected. Plug the cart in (or "
                     "unplug it and plug it in again) and wait until the status reads "
                     "\"Connected\"."}));
  EXPECT_EQ(page.pinLines, before);
  EXPECT_EQ(fixture.Cart([](cartsim::CartModel& cart) { return cart.Pins().Count(); }), 2);
  ui.boxes.clear();
  page.Export();
  EXPECT_TRUE(ui.fileDialogs.empty());
  EXPECT_EQ(ui.Texts(), Strings{"The PIN list could not be read from the cart, so it was not "
                                "exported. Get the list again first."});
}

// Add and Remove without a cart, and Remove without a selection, send nothing and say in one box
// what is missing.
TEST_F(PinListPageTest, RemoveTheSelectedLineOnly) {
  page.Add();
  page.Remove();
  EXPECT_EQ(ui.pinDialogs, 0) << "no PIN is asked for with no cart to take it";
  const std::string noCart =
      " failed: no cart is connected. Plug the cart in (or unplug it and plug it in again) and "
      "wait until the status reads \"Connected\".";
  EXPECT_EQ(ui.Errors(), (Strings{"Adding a PIN" + noCart, "Removing a PIN" + noCart}));

  ASSERT_TRUE(fixture.Connect());
  StoreOnCart(42, 1);
  StoreOnCart(7, 2);
  page.GetList();
  ui.boxes.clear();
  const int before = CommandsSeen();
  page.Remove();
  EXPECT_EQ(CommandsSeen(), before) << "no selection sends nothing";
  EXPECT_EQ(ui.Texts(), Strings{"Select the PIN to remove in the list first."});

  page.selectedLine = 1;  // "0000000042 ..."
  page.Remove();
  EXPECT_FALSE(CartHolds(42));
  EXPECT_TRUE(CartHolds(7));
  EXPECT_NE(fixture.Trace().find("pin_list_remove 0000000042"), std::string::npos);
  EXPECT_EQ(page.selectedLine, -1);

  ui.answers = {UiServices::Answer::No, UiServices::Answer::Yes};
  page.Clear();
  EXPECT_TRUE(CartHolds(7));
  page.Clear();
  EXPECT_FALSE(CartHolds(7));
  EXPECT_TRUE(page.pinLines.empty());
}

// The cart says "error" to a removal it refuses as to a PIN it does not hold: a refusal is told,
// never passed over as a PIN already gone.
TEST_F(PinListPageTest, ARemovalTheCartRefusesIsToldAndThePinStays) {
  ASSERT_TRUE(fixture.Connect());
  StoreOnCart(42, 1);
  StoreOnCart(7, 2);
  page.GetList();
  fixture.sim.Inspect([](cartsim::SimCart& sim) {
    sim.faults.onlyWord = "pin_list_remove";
    sim.faults.refuseCommands = cartsim::SimFaults::Refusal::Error;
  });
  page.selectedLine = 1;  // "0000000042 ..."
  page.Remove();
  ui.answers = {UiServices::Answer::Yes};
  page.Clear();
  EXPECT_EQ(ui.Texts(),
            (Strings{"Removing PIN 42 failed: The cart refused to remove PIN 42: Error: Unknown.",
                     "Are you sure you wish to clear all of the pin numbers?",
                     "Clearing the PIN list failed: The PIN list was not cleared (0 of 2 PIN(s) "
                     "removed): The cart refused to remove PIN 42: Error: Unknown."}));
  EXPECT_EQ(page.pinLines.size(), 2u);
  EXPECT_TRUE(CartHolds(42));
}

TEST_F(PinListPageTest, RfidUpdateSendsOnlyAFormatWhoseBitsMatchTheMask) {
  ASSERT_TRUE(fixture.Connect());
  page.rfidBits = "26";
  page.rfidMask = std::string(25, 'B');
  page.facilityCode = "12";
  const int before = CommandsSeen();
  page.UpdateRfid();
  EXPECT_EQ(ui.Texts(), Strings{"Error: Bits (26) does not match Mask length of 25!"});
  EXPECT_EQ(CommandsSeen(), before);

  page.rfidBits = "25";
  page.UpdateRfid();
  EXPECT_EQ(ui.Texts().back(), "Update Complete!");
  EXPECT_EQ(fixture.Cart([](cartsim::CartModel& c) { return c.Settings().rfidMask; }),
            std::string(25, 'B'));
  EXPECT_EQ(page.facilityCode, "12") << "read back from the cart";

  // A facility code the cart refuses: its answer, not the confirmation.
  page.facilityCode = "99999";
  page.UpdateRfid();
  EXPECT_EQ(ui.Errors().back(),
            "Setting the RFID format failed: the cart refused the command (Error: Unknown.).");
  EXPECT_EQ(page.facilityCode, "12");
}

TEST_F(PinListPageTest, MaxDigitsConfirmedOnlyWhenSent) {
  page.maxPinDigits = "8";
  page.UpdateMaxDigits();
  EXPECT_EQ(ui.Errors(), Strings{"Setting the longest PIN failed: no cart is connected. Plug the "
                                 "cart in (or unplug it and plug it in again) and wait until the "
                                 "status reads \"Connected\"."});
  EXPECT_EQ(page.maxPinDigits, "8") << "no reading back: the field keeps what was typed";

  ASSERT_TRUE(fixture.Connect());
  page.maxPinDigits = "8";
  page.UpdateMaxDigits();
  EXPECT_EQ(ui.Texts().back(), "Update Complete!");
  EXPECT_EQ(page.maxPinDigits, "8");
  EXPECT_EQ(ui.cursorDepth, 0);
}

TEST_F(PinListPageTest, ExportSaysSavedOnlyWhenWritten) {
  ASSERT_TRUE(fixture.Connect());
  StoreOnCart(42, 1);
  StoreOnCart(4294967295u, 2);
  page.GetList();
  const std::string path = fixture.dir.File("pins.xls");
  ui.fileNames = {path, fixture.dir.File("no such folder/pins.xls")};
  page.Export();
  page.Export();
  ASSERT_EQ(ui.Texts().size(), 2u);
  EXPECT_EQ(ui.Texts()[0], "Pin List Saved Successfully.");
  EXPECT_NE(ui.Texts()[1].find("could not be written"), std::string::npos) << ui.Texts()[1];
  EXPECT_TRUE(ui.fileDialogs[0].askBeforeOverwrite);
  EXPECT_EQ(ui.fileDialogs[0].defaultExtension, "Pin List Files");
  EXPECT_EQ(testing_support::ReadFile(path).rfind("42\t", 0), 0u) << "the cart's order";
}

// A paste cancelled part-way, as the window runs it: the PINs sent before the cancel are told,
// and the list is still read back in a step of its own, so the page shows what the cart holds.
TEST(PinListOnTheCartThread, ACancelledPasteIsStillFollowedByTheListAsTheCartHoldsIt) {
  testing_support::SimFixture fixture(EmptyCart(), true);
  ASSERT_TRUE(fixture.Connect());
  testing_support::RecordingUi ui;
  testing_support::WindowQueue window;
  molvane::CartThread& worker = fixture.controller.Worker();
  molvane::ThreadedRunner runner(worker, window.Dispatch());
  PinListPage page(fixture.controller, ui);
  page.SetRunner(&runner);
  std::string pasted;
  for (int i = 0; i < 100; ++i) pasted += std::to_string(50000 + i) + "\r\n";
  ui.clipboard = pasted;
  runner.AsOperatorAction("Paste", [&] { page.Paste(); });
  ASSERT_TRUE(window.RunUntil([&] { return worker.Current().done >= 5; }));
  worker.CancelCurrent();
  ASSERT_TRUE(window.RunUntil([&] { return runner.Held() == 0; }, 60000));

  const int held = fixture.Cart([](cartsim::CartModel& cart) { return cart.Pins().Count(); });
  ASSERT_GT(held, 0);
  ASSERT_LT(held, 100);
  EXPECT_EQ(ui.Texts(), Strings{"Pasting the PINs: " + std::to_string(held) + " PIN(s) added, " +
                                std::to_string(100 - held) + " not added: Cancelled."});
  EXPECT_TRUE(ui.Errors().empty()) << "a cancel is the operator's, no error";
  EXPECT_EQ(page.pinLines.size(), static_cast<std::size_t>(held));
  EXPECT_TRUE(page.listRead);
}

}  // namespace
