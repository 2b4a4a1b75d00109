#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "base/clock.h"
#include "cart/rfid_settings.h"
#include "cart/service_commands.h"
#include "support/controller_settings.h"
#include "support/local_zone.h"
#include "wire_helpers.h"

using testing_support::kBerlinZone;
using testing_support::LocalZone;
using namespace cart_tests;

namespace {

// A value read back that counts for nothing: a failure, and no value to show.
bool Refused(const molvane::Result<std::string>& read) { return !read && read.value.empty(); }

}  // namespace

TEST(RfidSettings, SettersPassTheTextThroughUnchanged) {
  ConnectedController fixture(AlwaysAnswer("ok\r"));
  auto& c = fixture.controller;
  EXPECT_TRUE(molvane::SetRfidMask(c, ""));
  EXPECT_TRUE(molvane::SetRfidBits(c, "26"));
  EXPECT_TRUE(molvane::SetRfidFacility(c, "00123"));
  EXPECT_TRUE(molvane::SetMaxPinDigits(c, "x y"));
  const std::vector<std::string> expected = {"set_rfid_mask ", "set_rfid_bits 26",
                                             "set_rfid_facility 00123", "set_max_pin_digits x y"};
  EXPECT_EQ(fixture.cart.Lines(), expected);
  EXPECT_EQ(c.CurrentPort(), 0);
}

TEST(RfidSettings, ValuesReadBackCountOnlyInTheirForm) {
  ConnectedController fixture(AlwaysAnswer(""));
  auto& c = fixture.controller;
  using Get = molvane::Result<std::string> (*)(molvane::CartController&);
  const auto read = [&](const std::string& command, const std::string& reply, Get get) {
    fixture.cart.SetResponder(
        [=](const std::string& line) { return line == command ? reply + "\r" : std::string(); });
    return get(c);
  };
  EXPECT_EQ(read("get_rfid_bits", "26", molvane::GetRfidBits).value, "26");
  EXPECT_TRUE(Refused(read("get_rfid_bits", "260", molvane::GetRfidBits)));
  EXPECT_TRUE(Refused(read("get_rfid_bits", "2a", molvane::GetRfidBits)));
  EXPECT_EQ(read("get_rfid_facility", "65535", molvane::GetRfidFacility).value, "65535");
  EXPECT_TRUE(Refused(read("get_rfid_facility", "655350", molvane::GetRfidFacility)));
  EXPECT_EQ(read("get_max_pin_digits", "10", molvane::GetMaxPinDigits).value, "10");
  EXPECT_TRUE(Refused(read("get_max_pin_digits", "1000", molvane::GetMaxPinDigits)));
  const auto mask = read("get_rfid_mask", "PFFFFFFFFBBBBBBBBBBBBBBBB0", molvane::GetRfidMask);
  EXPECT_TRUE(mask);
  EXPECT_EQ(mask.value, "PFFFFFFFFBBBBBBBBBBBBBBBB0");
  const auto lowercase = read("get_rfid_mask", "PFFp", molvane::GetRfidMask);
  EXPECT_TRUE(Refused(lowercase));
  EXPECT_EQ(lowercase.outcome.text,
            "The cart answered get_rfid_mask with 'PFFp', which is no setting.");
  EXPECT_TRUE(Refused(read("get_rfid_mask", "PF B", molvane::GetRfidMask)));
  EXPECT_TRUE(Refused(read("get_rfid_mask", "PF-B", molvane::GetRfidMask)));
  const auto error = read("get_rfid_mask", "error", molvane::GetRfidMask);
  EXPECT_TRUE(Refused(error));
  EXPECT_EQ(error.outcome.text, "Error: Unknown.");
  EXPECT_EQ(read("get_rfid_bits", "", molvane::GetRfidBits).value, "");
}

TEST(RfidSettings, APromptEndedOrTimedOutReplyIsRefused) {
  ConnectedController fixture(Answers({{"get_rfid_bits", "26>"}}));
  EXPECT_TRUE(Refused(molvane::GetRfidBits(fixture.controller)));
  const auto silence = molvane::GetMaxPinDigits(fixture.controller);
  EXPECT_TRUE(Refused(silence));
  EXPECT_EQ(silence.outcome.text, "Error: Timeout");
  EXPECT_EQ(fixture.controller.CurrentPort(), -1);
}

// "set_time" may go unanswered; the cart must then still answer "status", or it is gone.
TEST(ServiceCommands, ClockIsSentInTheCartOrderAndSilenceIsNoSuccess) {
  LocalZone zone(kBerlinZone);
  // 14:05:09 on 3 March 2009, local (winter: one hour ahead of UTC).
  molvane::SetClockForTest([] { return std::int64_t{1236089109} - 3600; });
  ConnectedController fixture(Answers({{"status", "00\r\nok\r\n>"}}));
  const molvane::Outcome set = molvane::SetRealTimeClock(fixture.controller);
  EXPECT_TRUE(set) << set.text;
  const std::vector<std::string> sent = {"set_time 9 5 14 3 3 9", "status"};
  EXPECT_EQ(fixture.cart.Lines(), sent);
  EXPECT_EQ(fixture.controller.CurrentPort(), 0);

  ConnectedController silent(AlwaysAnswer(""));
  const molvane::Outcome unheard = molvane::SetRealTimeClock(silent.controller);
  molvane::SetClockForTest({});
  EXPECT_FALSE(unheard);
  EXPECT_EQ(unheard.text, "Error: Timeout");
  EXPECT_EQ(silent.controller.CurrentPort(), -1);
}

TEST(ServiceCommands, GasGaugeResetWaitsForResetDone) {
  ConnectedController fixture(Answers({{"gas_gauge_reset", "working\rstill\rreset_done\r"}}));
  EXPECT_TRUE(molvane::ResetGasGauge(fixture.controller));
  EXPECT_EQ(fixture.cart.Lines(), std::vector<std::string>{"gas_gauge_reset"});
}

TEST(ServiceCommands, GasGaugeResetGivesUpAfterItsWait) {
  ConnectedController fixture(AlwaysAnswer(""));
  auto& c = fixture.controller;
  testing_support::SetTiming(c, &molvane::Timing::gasGaugeWaitSeconds, 1);
  // A cart that keeps talking without ever finishing.
  std::jthread chatter([&](std::stop_token stop) {
    while (!stop.stop_requested()) {
      fixture.cart.Pty().Write("busy\r");
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  });
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(molvane::ResetGasGauge(c));
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_GE(took, std::chrono::seconds(1));
  EXPECT_LT(took, std::chrono::seconds(5));
  EXPECT_EQ(c.CurrentPort(), 0);
}
