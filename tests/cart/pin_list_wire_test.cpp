#include <gtest/gtest.h>

#include <chrono>

#include "base/cart_time.h"
#include "base/clock.h"
#include "cart/cart_identity.h"
#include "cart/pin_list.h"
#include "cart/rfid_settings.h"
#include "support/local_zone.h"
#include "wire_helpers.h"

using testing_support::LocalZone;
using namespace cart_tests;

namespace {

constexpr std::int64_t kDay = 86400;
constexpr std::int64_t kNow = 1283929565 + 100 * kDay;  // 100 days after 2010-09-08 07:06:05 UTC

// Pins "now" and the zone for one test.
class PinListWire : public testing::Test {
 protected:
  void SetUp() override {
    molvane::SetClockForTest([] { return kNow; });
  }
  void TearDown() override { molvane::SetClockForTest({}); }
  LocalZone zone{"UTC0"};
};

std::string DumpOf(int count) {
  std::string dump;
  for (int i = 0; i < count; ++i) dump += std::to_string(1000 + i) + " 5 6 7 8 9 10\r\n";
  return dump + ">";
}

// A copy of the cart's list as a test arranges it, every PIN activated at 0.
molvane::PinList ListOf(std::initializer_list<std::uint32_t> pins) {
  molvane::PinList list;
  for (std::uint32_t pin : pins) list.entries[static_cast<std::size_t>(list.count++)] = {pin, 0};
  return list;
}

// A cart date `days` before kNow, in the cart's own order.
std::string CartDateDaysAgo(int days) {
  const auto f = molvane::ToLocalFields(kNow - days * kDay);
  return std::to_string(f.second) + " " + std::to_string(f.minute) + " " + std::to_string(f.hour) +
         " " + std::to_string(f.day) + " " + std::to_string(f.month) + " " +
         std::to_string(f.year - 2000);
}

}  // namespace

TEST_F(PinListWire, DumpReadsRecordsUntilThePrompt) {
  ConnectedController fixture(Answers({{"pin_list_dump",
                                        "4294967295 5 6 7 8 9 10\r\n"
                                        "2147483648 60 61 24 0 13 100\r\n>"}}));
  const molvane::Outcome dumped = molvane::DumpPinList(fixture.controller);
  EXPECT_TRUE(dumped) << dumped.text;
  const auto& pins = fixture.controller.Pins();
  ASSERT_EQ(fixture.controller.Pins().count, 2);
  EXPECT_EQ(pins.entries[0].pin, 4294967295u);
  EXPECT_EQ(pins.entries[0].activationTime, 1283929565);
  EXPECT_EQ(pins.entries[1].pin, 2147483648u);
  EXPECT_EQ(pins.entries[1].activationTime, 946684800);
  EXPECT_EQ(molvane::PinText(fixture.controller.Pins(), 0), "4294967295");
  EXPECT_EQ(molvane::PinAgeDays(fixture.controller.Pins(), 0), 100);
  EXPECT_EQ(fixture.controller.CurrentPort(), 0);
}

TEST_F(PinListWire, APromptGluedToARecordEndsTheDumpWithoutIt) {
  ConnectedController fixture(Answers({{"pin_list_dump", "1 5 6 7 8 9 10\r2 5 6 7 8 9 10>"}}));
  EXPECT_TRUE(molvane::DumpPinList(fixture.controller));
  ASSERT_EQ(fixture.controller.Pins().count, 1);
  EXPECT_EQ(molvane::PinText(fixture.controller.Pins(), 0), "1");
}

// An empty line is no prompt: the list may have been cut off there, so nothing of it is kept.
TEST_F(PinListWire, AnEmptyLineEndsTheDumpAsAFailure) {
  ConnectedController fixture(Answers({{"pin_list_dump", "1 5 6 7 8 9 10\r\r2 5 6 7 8 9 10\r>"}}));
  fixture.controller.KeepPins(ListOf({4711}));
  const molvane::Outcome dumped = molvane::DumpPinList(fixture.controller);
  EXPECT_FALSE(dumped);
  EXPECT_EQ(dumped.done, 1);
  ASSERT_EQ(fixture.controller.Pins().count, 1);
  EXPECT_EQ(molvane::PinText(fixture.controller.Pins(), 0), "4711");
}

// The dump is read to its prompt, so nothing of it is taken for the next answer.
TEST_F(PinListWire, ALineThatIsNoRecordFailsTheDumpAndKeepsTheCopy) {
  ConnectedController fixture(
      Answers({{"pin_list_dump", "1 5 6 7 8 9 10\r\n2 5 6 7`8 9 10\r\n3 5 6 7 8 9 10\r\n>"},
               {"status", "0x00\r"}}));
  fixture.controller.KeepPins(ListOf({4711}));
  const molvane::Outcome dumped = molvane::DumpPinList(fixture.controller);
  EXPECT_FALSE(dumped);
  EXPECT_EQ(dumped.text,
            "Line 2 of the cart's list could not be read, so the list is incomplete. Read it "
            "again.");
  EXPECT_EQ(dumped.done, 2);
  ASSERT_EQ(fixture.controller.Pins().count, 1);
  EXPECT_EQ(molvane::PinText(fixture.controller.Pins(), 0), "4711");
  EXPECT_EQ(fixture.controller.GetStatus().value, "0x00");
}

TEST_F(PinListWire, ADumpOf130KeepsTheFirst128AndReadsTheRest) {
  ConnectedController fixture(Answers({{"pin_list_dump", DumpOf(130)}, {"status", "0x00\r"}}));
  EXPECT_TRUE(molvane::DumpPinList(fixture.controller));
  ASSERT_EQ(fixture.controller.Pins().count, 128);
  EXPECT_EQ(molvane::PinText(fixture.controller.Pins(), 127), "1127");
  EXPECT_EQ(molvane::PinText(fixture.controller.Pins(), 128), "");
  // Nothing of the dump is left to be taken for the next answer.
  EXPECT_EQ(fixture.controller.GetStatus().value, "0x00");
}

TEST_F(PinListWire, SilenceMidDumpFailsKeepsTheCopyAndDropsTheLink) {
  ConnectedController fixture(Answers({{"pin_list_dump", "77 5 6 7 8 9 10\r\n"}}));
  fixture.controller.KeepPins(ListOf({4711, 4712}));
  const auto start = std::chrono::steady_clock::now();
  const molvane::Outcome dumped = molvane::DumpPinList(fixture.controller);
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_FALSE(dumped);
  EXPECT_EQ(dumped.text, "Error: Timeout (after 1 record(s))");
  EXPECT_EQ(dumped.done, 1);
  ASSERT_EQ(fixture.controller.Pins().count, 2);
  EXPECT_EQ(molvane::PinText(fixture.controller.Pins(), 0), "4711");
  EXPECT_EQ(fixture.controller.CurrentPort(), -1);
  EXPECT_GE(took, std::chrono::milliseconds(800));
  EXPECT_LT(took, std::chrono::seconds(10));
}

TEST_F(PinListWire, OldestIsTheFirstOfTheOldestTies) {
  ConnectedController fixture(
      Answers({{"pin_list_dump", "1 " + CartDateDaysAgo(3) + "\r2 " + CartDateDaysAgo(40) + "\r3 " +
                                     CartDateDaysAgo(40) + "\r>"}}));
  auto& c = fixture.controller;
  EXPECT_TRUE(molvane::DumpPinList(c));
  ASSERT_EQ(c.Pins().count, 3);
  EXPECT_EQ(c.Pins().oldestIndex, 1);
  EXPECT_EQ(molvane::PinAgeDaysClamped(c.Pins(), c.Pins().oldestIndex), 40);
  EXPECT_EQ(molvane::PinAgeDaysClamped(c.Pins(), 7), molvane::PinAgeDays(c.Pins(), 2));
  EXPECT_EQ(molvane::PinAgeDaysClamped(c.Pins(), -5), 3);
  EXPECT_EQ(molvane::PinAgeDays(c.Pins(), -1), -1);
  EXPECT_EQ(molvane::PinAgeDays(c.Pins(), 3), -1);
}

TEST_F(PinListWire, NoPinOfAgeZeroOrMoreLeavesNoOldest) {
  // Two days ahead of the PC's clock.
  const auto ahead = molvane::ToLocalFields(kNow + 2 * kDay);
  ConnectedController fixture(
      Answers({{"pin_list_dump", "5 0 0 0 " + std::to_string(ahead.day) + " " +
                                     std::to_string(ahead.month) + " " +
                                     std::to_string(ahead.year - 2000) + "\r>"}}));
  EXPECT_TRUE(molvane::DumpPinList(fixture.controller));
  EXPECT_EQ(fixture.controller.Pins().count, 1);
  EXPECT_EQ(fixture.controller.Pins().oldestIndex, -1);
  EXPECT_EQ(molvane::PinAgeDaysClamped(fixture.controller.Pins(), -1), -1);
}

TEST_F(PinListWire, AddPinKeepsLargePinsExactlyWhenConfirmed) {
  ConnectedController fixture(Answers({{"pin_list_add 4294967294", ">"},
                                       {"pin_list_add 4294967295", ">"},
                                       {"pin_list_add 55", "error\r"}}));
  auto& c = fixture.controller;
  EXPECT_TRUE(molvane::AddPin(c, "4294967294", 10));
  EXPECT_TRUE(molvane::AddPin(c, "4294967295", 20));
  const molvane::Outcome refused = molvane::AddPin(c, "55", 30);
  EXPECT_FALSE(refused);
  EXPECT_EQ(refused.text, "Error: Unknown.");
  ASSERT_EQ(c.Pins().count, 2);
  EXPECT_EQ(c.Pins().entries[0].pin, 4294967294u);
  EXPECT_EQ(c.Pins().entries[1].pin, 4294967295u);
  EXPECT_EQ(c.Pins().entries[1].activationTime, 20);
  EXPECT_EQ(c.MessageText(), "Error: Unknown.");
}

TEST_F(PinListWire, AddPinSendsNothingForADuplicateOrAFullList) {
  ConnectedController fixture(AlwaysAnswer(">"));
  auto& c = fixture.controller;
  EXPECT_EQ(molvane::AddPin(c, "1234", 1).done, 1);
  const molvane::Outcome duplicate = molvane::AddPin(c, "0000001234", 2);  // leading zeros
  EXPECT_TRUE(duplicate);
  EXPECT_EQ(duplicate.done, 0);
  EXPECT_EQ(c.Pins().count, 1);
  molvane::PinList full = c.Pins();
  for (std::uint32_t i = 1; i < 128; ++i) full.entries[i] = {i, 0};
  full.count = 128;
  c.KeepPins(full);
  const molvane::Outcome refused = molvane::AddPin(c, "999999", 3);
  EXPECT_FALSE(refused);
  EXPECT_EQ(refused.text, "Max number of pins exceeded.");
  EXPECT_EQ(c.Pins().count, 128);
  EXPECT_EQ(fixture.cart.Lines(), std::vector<std::string>{"pin_list_add 1234"});
}

TEST_F(PinListWire, RemovePinSendsTheListLineAndHonoursPromptAndUnknown) {
  ConnectedController fixture(
      Answers({{"pin_list_remove 0000004711", ">"}, {"pin_list_remove 13", "unknown cmd\r"}}));
  auto& c = fixture.controller;
  c.KeepPins(ListOf({4711, 13, 4711}));
  EXPECT_TRUE(molvane::RemovePin(c, "0000004711  12 days"));
  ASSERT_EQ(c.Pins().count, 1);
  const molvane::Outcome unknown = molvane::RemovePin(c, "13");
  EXPECT_FALSE(unknown);
  EXPECT_EQ(unknown.text, "PIN 13 was not removed: Unknown Command.");
  ASSERT_EQ(c.Pins().count, 1);
  EXPECT_EQ(molvane::PinText(c.Pins(), 0), "13");
  EXPECT_EQ(fixture.cart.Lines()[0], "pin_list_remove 0000004711");
}

// "error" answers a PIN the cart does not hold and a removal it refuses alike; the cart's list,
// read again, tells which it was.
TEST_F(PinListWire, RemovePinAnsweredWithErrorAsksTheCartsList) {
  ConnectedController fixture(Answers({{"pin_list_remove 12", "error: not found\r"},
                                       {"pin_list_remove 13", "error\r"},
                                       {"pin_list_dump", "13 5 6 7 8 9 10\r\n>"}}));
  auto& c = fixture.controller;
  c.KeepPins(ListOf({12, 13}));
  const molvane::Outcome notHeld = molvane::RemovePin(c, "12");
  EXPECT_TRUE(notHeld) << notHeld.text;
  EXPECT_EQ(notHeld.done, 0);
  ASSERT_EQ(c.Pins().count, 1);
  const molvane::Outcome refused = molvane::RemovePin(c, "13");
  EXPECT_FALSE(refused);
  EXPECT_EQ(refused.text, "The cart refused to remove PIN 13: Error: Unknown.");
  EXPECT_EQ(molvane::PinText(c.Pins(), 0), "13");

  // A list that cannot be read leaves the question open: no success is claimed.
  ConnectedController refusing(AlwaysAnswer("error\r"));
  refusing.controller.KeepPins(ListOf({14}));
  const molvane::Outcome unknown = molvane::RemovePin(refusing.controller, "14");
  EXPECT_FALSE(unknown);
  EXPECT_EQ(unknown.text,
            "PIN 14 was not removed: the cart answered \"error\", and its list could not be read "
            "to tell whether it still holds it: Error: Unknown. (after 0 record(s))");
  EXPECT_EQ(refusing.controller.Pins().count, 1);
}

TEST_F(PinListWire, RemovePinAnsweredWithSilenceKeepsThePin) {
  ConnectedController fixture(AlwaysAnswer(""));
  auto& c = fixture.controller;
  c.KeepPins(ListOf({5}));
  const molvane::Outcome removed = molvane::RemovePin(c, "5");
  EXPECT_FALSE(removed);
  EXPECT_EQ(removed.text, "PIN 5 was not removed: Error: Timeout");
  EXPECT_EQ(c.Pins().count, 1);
}

TEST_F(PinListWire, RemoveAllPinsRemovesInListOrder) {
  ConnectedController fixture(AlwaysAnswer(">"));
  auto& c = fixture.controller;
  c.KeepPins(ListOf({3000000000u, 3000000001u, 3000000002u}));
  const molvane::Outcome removed = molvane::RemoveAllPins(c);
  EXPECT_TRUE(removed) << removed.text;
  EXPECT_EQ(removed.done, 3);
  EXPECT_EQ(c.Pins().count, 0);
  const std::vector<std::string> expected = {
      "pin_list_remove 3000000000", "pin_list_remove 3000000001", "pin_list_remove 3000000002"};
  EXPECT_EQ(fixture.cart.Lines(), expected);
}

TEST_F(PinListWire, RemoveAllPinsStopsAtARemovalThatChangesNothing) {
  ConnectedController fixture(AlwaysAnswer("busy\r"));
  auto& c = fixture.controller;
  c.KeepPins(ListOf({1, 2}));
  const molvane::Outcome removed = molvane::RemoveAllPins(c);
  EXPECT_FALSE(removed);
  EXPECT_EQ(removed.text,
            "The PIN list was not cleared (0 of 2 PIN(s) removed): The cart did not remove PIN 1: "
            "it answered 'busy'.");
  EXPECT_EQ(removed.done, 0);
  EXPECT_EQ(c.Pins().count, 2);
  EXPECT_EQ(fixture.cart.Lines().size(), 1u);
}

TEST_F(PinListWire, LineEndsInsideAnArgumentNeverStartASecondCommand) {
  ConnectedController fixture(AlwaysAnswer("ok\r"));
  auto& c = fixture.controller;
  EXPECT_TRUE(molvane::SetCartName(c, "Ward\r\nlock"));
  EXPECT_TRUE(molvane::SetRfidMask(c, "PF\runlock"));
  // A PIN with a line end in it is no PIN at all and never reaches the cart.
  EXPECT_FALSE(molvane::AddPin(c, "12\r\nlog_clear", 0));
  const std::vector<std::string> expected = {"cart_name_set \"Wardlock\"",
                                             "set_rfid_mask PFunlock"};
  EXPECT_EQ(LinesAfterSettling(fixture.cart, 2), expected);
}

TEST_F(PinListWire, AddPinRefusesATextThatIsNoPinBeforeSending) {
  ConnectedController fixture(AlwaysAnswer(">"));
  auto& c = fixture.controller;
  for (const char* text : {"", "12a", "4294967296"}) {
    const molvane::Outcome added = molvane::AddPin(c, text, 0);
    EXPECT_FALSE(added) << text;
    EXPECT_EQ(added.text, "'" + std::string(text) +
                              "' is not a PIN: The pin number must be less than 4294967296.");
  }
  EXPECT_EQ(c.Pins().count, 0);
  EXPECT_TRUE(fixture.cart.Lines().empty());
}

TEST_F(PinListWire, NameAndSerialAreCutAndUnquoted) {
  ConnectedController fixture(Answers({{"cart_name_get", "\"Ward \"7\"\r>"},
                                       {"serial_get", "SN-0042\r>"},
                                       {"cart_name_set \"ABCDEFGHIJKLMNO\"", "ok\r"},
                                       {"serial_set \"a\"b\"", "ok\r"}}));
  auto& c = fixture.controller;
  EXPECT_TRUE(molvane::SetCartName(c, "ABCDEFGHIJKLMNOPQRST"));
  EXPECT_TRUE(molvane::SetSerialNumber(c, "a\"b"));
  EXPECT_EQ(molvane::GetCartName(c).value, "Ward 7");
  EXPECT_EQ(molvane::GetSerialNumber(c).value, "SN-0042");
  EXPECT_EQ(c.CurrentPort(), 0);  // every line read was answered
  const std::vector<std::string> expected = {"cart_name_set \"ABCDEFGHIJKLMNO\"",
                                             "serial_set \"a\"b\"", "cart_name_get", "serial_get"};
  EXPECT_EQ(fixture.cart.Lines(), expected);
}
