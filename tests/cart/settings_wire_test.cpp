#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "base/clock.h"
#include "support/local_zone.h"
#include "wire_helpers.h"

using testing_support::LocalZone;
using testing_support::kBerlinZone;
using namespace cart_tests;

TEST(RfidSettings, SettersPassTheTextThroughUnchanged) {
  ConnectedController fixture(AlwaysAnswer("ok\r"));
  auto& c = fixture.controller;
  c.SetRfidMask("");
  c.SetRfidBits("26");
  c.SetRfidFacility("00123");
  c.SetMaxPinDigits("x y");
  const std::vector<std::string> expected = {"set_rfid_mask ", "set_rfid_bits 26",
                                             "set_rfid_facility 00123", "set_max_pin_digits x y"};
  EXPECT_EQ(fixture.cart.Lines(), expected);
  EXPECT_EQ(c.currentPort.load(), 0);
}

TEST(RfidSettings, ValuesReadBackCountOnlyInTheirForm) {
  ConnectedController fixture(AlwaysAnswer(""));
  auto& c = fixture.controller;
  const auto read = [&](const std::string& command, const std::string& reply,
                        std::string (molvane::CartController::*get)()) {
    fixture.cart.SetResponder(
        [=](const std::string& line) { return line == command ? reply + "\r" : std::string(); });
    return (c.*get)();
  };
  using C = molvane::CartController;
  EXPECT_EQ(read("get_rfid_bits", "26", &C::GetRfidBits), "26");
  EXPECT_EQ(read("get_rfid_bits", "260", &C::GetRfidBits), "");
  EXPECT_EQ(read("get_rfid_bits", "2a", &C::GetRfidBits), "");
  EXPECT_EQ(read("get_rfid_facility", "65535", &C::GetRfidFacility), "65535");
  EXPECT_EQ(read("get_rfid_facility", "655350", &C::GetRfidFacility), "");
  EXPECT_EQ(read("get_max_pin_digits", "10", &C::GetMaxPinDigits), "10");
  EXPECT_EQ(read("get_max_pin_digits", "1000", &C::GetMaxPinDigits), "");
  EXPECT_EQ(read("get_rfid_mask", "PFFFFFFFFBBBBBBBBBBBBBBBB0", &C::GetRfidMask),
            "PFFFFFFFFBBBBBBBBBBBBBBBB0");
  EXPECT_EQ(read("get_rfid_mask", "PFFp", &C::GetRfidMask), "");
  EXPECT_EQ(read("get_rfid_mask", "PF B", &C::GetRfidMask), "");
  EXPECT_EQ(read("get_rfid_mask", "PF-B", &C::GetRfidMask), "");
  EXPECT_EQ(read("get_rfid_mask", "error", &C::GetRfidMask), "");
  EXPECT_EQ(read("get_rfid_bits", "", &C::GetRfidBits), "");
}

TEST(RfidSettings, APromptEndedOrTimedOutReplyIsEmpty) {
  ConnectedController fixture(Answers({{"get_rfid_bits", "26>"}}));
  EXPECT_EQ(fixture.controller.GetRfidBits(), "");
  EXPECT_EQ(fixture.controller.GetMaxPinDigits(), "");  // silence: "Timeout"
  EXPECT_EQ(fixture.controller.currentPort.load(), -1);
}

TEST(ServiceCommands, ClockIsSentInTheCartOrderWithoutReadingAReply) {
  LocalZone zone(kBerlinZone);
  // 14:05:09 on 3 March 2009, local (winter: one hour ahead of UTC).
  molvane::SetClockForTest([] { return std::int64_t{1236089109} - 3600; });
  ConnectedController fixture(AlwaysAnswer(""));
  const auto start = std::chrono::steady_clock::now();
  fixture.controller.SetRealTimeClock();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(700));
  molvane::SetClockForTest({});
  EXPECT_EQ(LinesAfterSettling(fixture.cart, 1), std::vector<std::string>{"set_time 9 5 14 3 3 9"});
  EXPECT_EQ(fixture.controller.currentPort.load(), 0);
}

TEST(ServiceCommands, GasGaugeResetWaitsForResetDone) {
  ConnectedController fixture(Answers({{"gas_gauge_reset", "working\rstill\rreset_done\r"}}));
  EXPECT_TRUE(fixture.controller.ResetGasGauge());
  EXPECT_EQ(fixture.cart.Lines(), std::vector<std::string>{"gas_gauge_reset"});
}

TEST(ServiceCommands, GasGaugeResetGivesUpAfterItsWait) {
  ConnectedController fixture(AlwaysAnswer(""));
  auto& c = fixture.controller;
  c.timing.gasGaugeWaitSeconds = 1;
  // A cart that keeps talking without ever finishing.
  std::jthread chatter([&](std::stop_token stop) {
    while (!stop.stop_requested()) {
      fixture.cart.Pty().Write("busy\r");
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  });
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(c.ResetGasGauge());
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_GE(took, std::chrono::seconds(1));
  EXPECT_LT(took, std::chrono::seconds(5));
  EXPECT_EQ(c.currentPort.load(), 0);
}
