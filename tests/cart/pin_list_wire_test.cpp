#include <gtest/gtest.h>

#include <chrono>

#include "base/clock.h"
#include "base/cart_time.h"
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
                                        "12 5 6 7 8 9\r\n"  // six numbers: skipped
                                        "2147483648 60 61 24 0 13 100\r\n>"}}));
  RecordingUi ui;
  fixture.controller.SetUi(&ui);
  fixture.controller.DumpPinList();
  const auto& pins = fixture.controller.Pins();
  ASSERT_EQ(fixture.controller.PinCount(), 2);
  EXPECT_EQ(pins.entries[0].pin, 4294967295u);
  EXPECT_EQ(pins.entries[0].activationTime, 1283929565);
  EXPECT_EQ(pins.entries[1].pin, 2147483648u);
  EXPECT_EQ(pins.entries[1].activationTime, 946684800);
  EXPECT_EQ(fixture.controller.PinText(0), "4294967295");
  EXPECT_EQ(fixture.controller.PinAgeDays(0), 100);
  EXPECT_EQ(ui.cursorShown, 1);
  EXPECT_EQ(ui.cursorDepth, 0);
  EXPECT_EQ(fixture.controller.currentPort.load(), 0);
}

TEST_F(PinListWire, APromptGluedToARecordEndsTheDumpWithoutIt) {
  ConnectedController fixture(Answers({{"pin_list_dump", "1 5 6 7 8 9 10\r2 5 6 7 8 9 10>"}}));
  fixture.controller.DumpPinList();
  ASSERT_EQ(fixture.controller.PinCount(), 1);
  EXPECT_EQ(fixture.controller.PinText(0), "1");
}

TEST_F(PinListWire, AnEmptyLineEndsTheDump) {
  ConnectedController fixture(Answers({{"pin_list_dump", "1 5 6 7 8 9 10\r\r2 5 6 7 8 9 10\r>"}}));
  fixture.controller.DumpPinList();
  EXPECT_EQ(fixture.controller.PinCount(), 1);
}

TEST_F(PinListWire, ADumpOf130KeepsTheFirst128AndReadsTheRest) {
  ConnectedController fixture(Answers({{"pin_list_dump", DumpOf(130)}, {"status", "0x00\r"}}));
  fixture.controller.DumpPinList();
  ASSERT_EQ(fixture.controller.PinCount(), 128);
  EXPECT_EQ(fixture.controller.PinText(127), "1127");
  EXPECT_EQ(fixture.controller.PinText(128), "");
  // Nothing of the dump is left to be taken for the next answer.
  EXPECT_EQ(fixture.controller.GetStatus(), "0x00");
}

TEST_F(PinListWire, SilenceMidDumpKeepsWhatCameAndDropsTheLink) {
  ConnectedController fixture(Answers({{"pin_list_dump", "77 5 6 7 8 9 10\r\n"}}));
  const auto start = std::chrono::steady_clock::now();
  fixture.controller.DumpPinList();
  const auto took = std::chrono::steady_clock::now() - start;
  ASSERT_EQ(fixture.controller.PinCount(), 1);
  EXPECT_EQ(fixture.controller.PinText(0), "77");
  EXPECT_EQ(fixture.controller.currentPort.load(), -1);
  EXPECT_GE(took, std::chrono::milliseconds(800));
  EXPECT_LT(took, std::chrono::seconds(10));
}

TEST_F(PinListWire, OldestIsTheFirstOfTheOldestTies) {
  ConnectedController fixture(
      Answers({{"pin_list_dump", "1 " + CartDateDaysAgo(3) + "\r2 " + CartDateDaysAgo(40) + "\r3 " +
                                     CartDateDaysAgo(40) + "\r>"}}));
  auto& c = fixture.controller;
  c.DumpPinList();
  ASSERT_EQ(c.PinCount(), 3);
  EXPECT_EQ(c.OldestPinIndex(), 1);
  EXPECT_EQ(c.PinAgeDaysClamped(c.OldestPinIndex()), 40);
  EXPECT_EQ(c.PinAgeDaysClamped(7), c.PinAgeDays(2));
  EXPECT_EQ(c.PinAgeDaysClamped(-5), 3);
  EXPECT_EQ(c.PinAgeDays(-1), -1);
  EXPECT_EQ(c.PinAgeDays(3), -1);
}

TEST_F(PinListWire, NoPinOfAgeZeroOrMoreLeavesNoOldest) {
  // Two days ahead of the PC's clock.
  const auto ahead = molvane::ToLocalFields(kNow + 2 * kDay);
  ConnectedController fixture(
      Answers({{"pin_list_dump", "5 0 0 0 " + std::to_string(ahead.day) + " " +
                                     std::to_string(ahead.month) + " " +
                                     std::to_string(ahead.year - 2000) + "\r>"}}));
  fixture.controller.DumpPinList();
  EXPECT_EQ(fixture.controller.PinCount(), 1);
  EXPECT_EQ(fixture.controller.OldestPinIndex(), -1);
  EXPECT_EQ(fixture.controller.PinAgeDaysClamped(-1), -1);
}

TEST_F(PinListWire, AddPinKeepsLargePinsExactlyWhenConfirmed) {
  ConnectedController fixture(Answers({{"pin_list_add 4294967294", ">"},
                                       {"pin_list_add 4294967295", ">"},
                                       {"pin_list_add 55", "error\r"}}));
  auto& c = fixture.controller;
  c.AddPin("4294967294", 10);
  c.AddPin("4294967295", 20);
  c.AddPin("55", 30);
  ASSERT_EQ(c.PinCount(), 2);
  EXPECT_EQ(c.Pins().entries[0].pin, 4294967294u);
  EXPECT_EQ(c.Pins().entries[1].pin, 4294967295u);
  EXPECT_EQ(c.Pins().entries[1].activationTime, 20);
  EXPECT_EQ(c.MessageText(), "Error: Unknown.");
}

TEST_F(PinListWire, AddPinSendsNothingForADuplicateOrAFullList) {
  ConnectedController fixture(AlwaysAnswer(">"));
  RecordingUi ui;
  auto& c = fixture.controller;
  c.SetUi(&ui);
  c.AddPin("1234", 1);
  c.AddPin("0000001234", 2);  // same value with leading zeros
  EXPECT_EQ(c.PinCount(), 1);
  for (std::uint32_t i = 1; i < 128; ++i) c.pinList.entries[i] = {i, 0};
  c.pinList.count = 128;
  c.AddPin("999999", 3);
  EXPECT_EQ(c.PinCount(), 128);
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].text, "Max number of pins exceeded.");
  EXPECT_EQ(ui.boxes[0].caption, "Error");
  EXPECT_EQ(fixture.cart.Lines(), std::vector<std::string>{"pin_list_add 1234"});
}

TEST_F(PinListWire, RemovePinSendsTheListLineAndHonoursPromptAndError) {
  ConnectedController fixture(Answers({{"pin_list_remove 0000004711", ">"},
                                       {"pin_list_remove 12", "error: not found\r"},
                                       {"pin_list_remove 13", "unknown cmd\r"}}));
  auto& c = fixture.controller;
  c.pinList.entries[0] = {4711, 0};
  c.pinList.entries[1] = {12, 0};
  c.pinList.entries[2] = {13, 0};
  c.pinList.entries[3] = {4711, 0};
  c.pinList.count = 4;
  c.RemovePin("0000004711  12 days");
  ASSERT_EQ(c.PinCount(), 2);
  EXPECT_EQ(c.PinText(0), "12");
  c.RemovePin("12");
  c.RemovePin("13");
  ASSERT_EQ(c.PinCount(), 1);
  EXPECT_EQ(c.PinText(0), "13");
  EXPECT_EQ(fixture.cart.Lines()[0], "pin_list_remove 0000004711");
}

TEST_F(PinListWire, RemovePinAnsweredWithSilenceKeepsThePin) {
  ConnectedController fixture(AlwaysAnswer(""));
  auto& c = fixture.controller;
  c.pinList.entries[0] = {5, 0};
  c.pinList.count = 1;
  c.RemovePin("5");
  EXPECT_EQ(c.PinCount(), 1);
}

TEST_F(PinListWire, RemoveAllPinsRemovesInListOrder) {
  ConnectedController fixture(AlwaysAnswer(">"));
  RecordingUi ui;
  auto& c = fixture.controller;
  c.SetUi(&ui);
  for (std::uint32_t i = 0; i < 3; ++i) c.pinList.entries[i] = {3000000000u + i, 0};
  c.pinList.count = 3;
  EXPECT_TRUE(c.RemoveAllPins());
  EXPECT_EQ(c.PinCount(), 0);
  const std::vector<std::string> expected = {
      "pin_list_remove 3000000000", "pin_list_remove 3000000001", "pin_list_remove 3000000002"};
  EXPECT_EQ(fixture.cart.Lines(), expected);
  EXPECT_EQ(ui.cursorShown, 1);
  EXPECT_EQ(ui.cursorDepth, 0);
}

TEST_F(PinListWire, RemoveAllPinsStopsAtARemovalThatChangesNothing) {
  ConnectedController fixture(AlwaysAnswer("busy\r"));
  auto& c = fixture.controller;
  c.pinList.entries[0] = {1, 0};
  c.pinList.entries[1] = {2, 0};
  c.pinList.count = 2;
  EXPECT_FALSE(c.RemoveAllPins());
  EXPECT_EQ(c.PinCount(), 2);
  EXPECT_EQ(fixture.cart.Lines().size(), 1u);
}

TEST_F(PinListWire, LineEndsInsideAnArgumentNeverStartASecondCommand) {
  ConnectedController fixture(AlwaysAnswer("ok\r"));
  auto& c = fixture.controller;
  c.SetCartName("Ward\r\nlock");
  c.SetRfidMask("PF\runlock");
  c.AddPin("12\r\nlog_clear", 0);
  const std::vector<std::string> expected = {"cart_name_set \"Wardlock\"", "set_rfid_mask PFunlock",
                                             "pin_list_add 12log_clear"};
  EXPECT_EQ(fixture.cart.Lines(), expected);
}

TEST_F(PinListWire, NameAndSerialAreCutAndUnquoted) {
  ConnectedController fixture(Answers({{"cart_name_get", "\"Ward \"7\"\r>"},
                                       {"serial_get", "SN-0042\r>"},
                                       {"cart_name_set \"ABCDEFGHIJKLMNO\"", "ok\r"},
                                       {"serial_set \"a\"b\"", "ok\r"}}));
  auto& c = fixture.controller;
  c.SetCartName("ABCDEFGHIJKLMNOPQRST");
  c.SetSerialNumber("a\"b");
  EXPECT_EQ(c.GetCartName(), "Ward 7");
  EXPECT_EQ(c.GetSerialNumber(), "SN-0042");
  EXPECT_EQ(c.currentPort.load(), 0);  // every line read was answered
  const std::vector<std::string> expected = {"cart_name_set \"ABCDEFGHIJKLMNO\"",
                                             "serial_set \"a\"b\"", "cart_name_get", "serial_get"};
  EXPECT_EQ(fixture.cart.Lines(), expected);
}
