// The cart answers with noise, NUL bytes, an endless line, or lines without carriage returns.
#include <gtest/gtest.h>

#include "cart/cart_identity.h"
#include "cart/command_vocabulary.h"
#include "cart/event_log.h"
#include "cart/pin_list.h"
#include "cart/rfid_settings.h"
#include "cart/setup_reply.h"
#include "fault_checks.h"
#include "support/controller_fixture.h"

using fault_checks::Clock;
using fault_checks::ExpectUsableAgain;
using fault_checks::NothingSpins;
using testing_support::ConnectedController;
using testing_support::SimFixture;

namespace {

std::string HealthyCart(const std::string& line) { return line == "status" ? "00\r\n>" : ">"; }

// A scripted cart gone wrong is healed; the controller must find it and talk to it again.
void ExpectScriptedCartUsableAgain(ConnectedController& c) {
  EXPECT_FALSE(c.controller.IsBusy());
  EXPECT_TRUE(NothingSpins());
  c.cart.SetResponder(HealthyCart);
  ASSERT_EQ(c.controller.ConnectPort(c.cart.DevicePath()),
            molvane::CartController::ProbeResult::Cart);
  EXPECT_EQ(c.controller.GetStatus().value, "00");
}

}  // namespace

// Each reading operation in turn meets a noisy cart; the cart is healed and found again after
// each, since a noisy cart does not pass for one when the port is probed.
TEST(FaultGarbage, BinaryNoiseNeverBecomesSettingsPinsOrEvents) {
  SimFixture fx;
  ASSERT_TRUE(fx.Connect());
  auto noisy = [&](auto&& operation) {
    fx.sim.faults.noiseAnswers = true;
    operation();
    fx.sim.faults.noiseAnswers = false;
    EXPECT_FALSE(fx.controller.IsBusy());
    ASSERT_TRUE(fx.Connect());
  };
  noisy([&] {
    EXPECT_EQ(
        molvane::DecodeSetupReply(molvane::GetSetupDlgFull(fx.controller).value).powerSupplyKind,
        0);
  });
  noisy([&] {
    const molvane::Result<std::string> bits = molvane::GetRfidBits(fx.controller);
    EXPECT_FALSE(bits);
    EXPECT_EQ(bits.value, "");
  });
  noisy([&] {
    const molvane::Result<std::string> digits = molvane::GetMaxPinDigits(fx.controller);
    EXPECT_FALSE(digits);
    EXPECT_EQ(digits.value, "");
  });
  noisy([&] {
    // Whether the noise happens to end like a dump or not, it holds no PIN.
    (void)molvane::DumpPinList(fx.controller);
    EXPECT_EQ(fx.controller.Pins().count, 0) << "noise holds no record of seven numbers";
  });
  noisy([&] {
    EXPECT_FALSE(molvane::DumpLog(fx.controller)) << "noise is no log";
    EXPECT_EQ(fx.controller.Events().count, 0) << "noise lines became events";
  });
  ExpectUsableAgain(fx);
}

TEST(FaultGarbage, NulBytesStayInTheReplyAndASilentEndIsATimeout) {
  ConnectedController c([](const std::string& line) {
    if (line == "serial_get") return std::string("Cart\0 7\r\n>", 10);
    return std::string(300, '\0');  // no line end at all
  });
  EXPECT_TRUE(c.controller.SendCommand("serial_get"));
  EXPECT_EQ(c.controller.ReadReply().value, std::string("Cart\0 7", 7));
  const molvane::Result<std::string> facility = molvane::GetRfidFacility(c.controller);
  EXPECT_FALSE(facility) << "NULs are not digits";
  EXPECT_EQ(facility.value, "");
  EXPECT_EQ(c.controller.CurrentPort(), -1);
  ExpectScriptedCartUsableAgain(c);
}

TEST(FaultGarbage, HundredKibLineIsGivenUpAndTheLinkRecovers) {
  SimFixture fx;
  ASSERT_TRUE(fx.Connect());
  fx.Cart([](cartsim::CartModel& c) { return c.Settings().name = "Ward 9"; });
  fx.sim.faults.longAnswerBytes = 100 * 1024;
  const auto started = Clock::now();
  const molvane::Result<std::string> reply = molvane::GetCartName(fx.controller);
  EXPECT_LT(Clock::now() - started, std::chrono::seconds(5));
  EXPECT_LE(reply.value.size(), 1024u) << "a reply line keeps at most 1024 characters";
  EXPECT_FALSE(reply) << "a line that never ends in time is no answer";
  EXPECT_EQ(reply.outcome.text, "Error: Timeout");
  fx.sim.faults.longAnswerBytes = 0;
  // Still plugged in, with the rest of the line still coming: the next probe drains it first.
  ASSERT_TRUE(fx.Connect()) << "the rest of the line passed for the answer to the probe";
  const molvane::Result<std::string> name = molvane::GetCartName(fx.controller);
  EXPECT_TRUE(name) << name.outcome.text;
  EXPECT_EQ(name.value, "Ward 9");
  ExpectUsableAgain(fx);
}

TEST(FaultGarbage, LineFeedOnlyAnswersStillEndAtThePrompt) {
  ConnectedController c([](const std::string& line) {
    if (line == "get_rfid_bits") return std::string("26\n>");
    if (line == "pin_list_dump") return std::string("1234 1 2 3 4 5 24\n4321 1 2 3 4 5 24\n>");
    return std::string(">");
  });
  const molvane::Result<std::string> bits = molvane::GetRfidBits(c.controller);
  EXPECT_FALSE(bits) << "the record is glued to the prompt, not a bare value";
  EXPECT_EQ(bits.value, "");
  // Without carriage returns both records and the prompt run into one line: the prompt ends the
  // dump, and a record glued to it is no record. The copy read before is replaced.
  molvane::PinList before;
  before.entries[0] = {7, 0};
  before.count = 1;
  c.controller.KeepPins(before);
  EXPECT_TRUE(molvane::DumpPinList(c.controller));
  EXPECT_EQ(c.controller.Pins().count, 0);
  EXPECT_GE(c.controller.CurrentPort(), 0) << "a prompt is an answer, not a time-out";
  ExpectScriptedCartUsableAgain(c);
}

TEST(FaultGarbage, StreamWithoutLineEndIsCutOffInTime) {
  ConnectedController c([](const std::string& line) {
    return line == "version" ? std::string(20000, 'x') : std::string(">");
  });
  const auto started = Clock::now();
  EXPECT_TRUE(c.controller.SendCommand("version"));
  EXPECT_EQ(c.controller.ReadReply().value, "Timeout");
  EXPECT_LT(Clock::now() - started, std::chrono::seconds(8));
  ExpectScriptedCartUsableAgain(c);
}
