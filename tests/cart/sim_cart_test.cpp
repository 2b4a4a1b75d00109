// The host operations against the simulated cart: what one side sends, the other understands.
#include <gtest/gtest.h>

#include "base/clock.h"
#include "cart/setup_reply.h"
#include "support/sim_fixture.h"

using testing_support::SimFixture;

namespace {

bool ListHolds(const molvane::CartController& c, std::uint32_t pin) {
  for (int i = 0; i < c.PinCount(); ++i)
    if (c.Pins().entries[static_cast<std::size_t>(i)].pin == pin) return true;
  return false;
}

}  // namespace

TEST(SimulatedCart, PinsAddedAndRemovedShowInTheNextDump) {
  SimFixture fixture;
  ASSERT_TRUE(fixture.Connect());
  auto& c = fixture.controller;
  c.DumpPinList();
  const int before = c.PinCount();
  c.AddPin("4294967294", molvane::Now());
  c.AddPin("4294967295", molvane::Now());
  c.DumpPinList();
  EXPECT_EQ(c.PinCount(), before + 2);
  EXPECT_TRUE(ListHolds(c, 4294967294u));
  EXPECT_TRUE(ListHolds(c, 4294967295u));
  c.RemovePin("4294967294");
  c.DumpPinList();
  EXPECT_FALSE(ListHolds(c, 4294967294u));
  EXPECT_TRUE(ListHolds(c, 4294967295u));
  EXPECT_TRUE(c.RemoveAllPins());
  c.DumpPinList();
  EXPECT_EQ(c.PinCount(), 0);
  EXPECT_EQ(c.currentPort.load(), 0);
}

TEST(SimulatedCart, IdentityAndRfidSettingsReadBackAsSet) {
  SimFixture fixture;
  ASSERT_TRUE(fixture.Connect());
  auto& c = fixture.controller;
  c.SetCartName("ABCDEFGHIJKLMNOPQRST");
  EXPECT_EQ(c.GetCartName(), "ABCDEFGHIJKLMNO");
  c.SetSerialNumber("SN-2026-7");
  EXPECT_EQ(c.GetSerialNumber(), "SN-2026-7");
  c.SetRfidMask("PFFFFFFFFBBBBBBBBBBBBBBBBP");
  c.SetRfidBits("26");
  c.SetRfidFacility("123");
  c.SetMaxPinDigits("8");
  EXPECT_EQ(c.GetRfidBits(), "26");
  EXPECT_EQ(c.GetRfidMask(), "PFFFFFFFFBBBBBBBBBBBBBBBBP");
  EXPECT_EQ(c.GetRfidFacility(), "123");
  EXPECT_EQ(c.GetMaxPinDigits(), "8");
  EXPECT_EQ(c.currentPort.load(), 0);
}

TEST(SimulatedCart, SetupSettingsReadBackAsSet) {
  SimFixture fixture;
  ASSERT_TRUE(fixture.Connect());
  auto& c = fixture.controller;
  c.SetBacklightTimeout(30);
  c.SetKeyboardTimeout(15);
  c.SetRelockTimeout(5);
  c.SetCartType(85);
  c.SetLockActivation(500, 250);
  const molvane::SetupSettings s = molvane::DecodeSetupReply(c.GetSetupDlgFull());
  EXPECT_EQ(s.backlightTimeout, 30);
  EXPECT_EQ(s.keyboardTimeout, 15);
  EXPECT_EQ(s.relockTimeout, 5);
  EXPECT_TRUE(s.motorLock);
  EXPECT_EQ(s.mainLockMs, 500);
  EXPECT_EQ(s.sideLockMs, 250);
  EXPECT_EQ(c.currentPort.load(), 0);
}

TEST(SimulatedCart, VersionFillsEverySlotAndKeepsTheLink) {
  SimFixture fixture;
  ASSERT_TRUE(fixture.Connect());
  auto& c = fixture.controller;
  c.GetVersion();
  for (int n = 1; n <= 4; ++n) EXPECT_FALSE(c.FirmwareVersionText(n).empty()) << n;
  for (int n = 1; n <= 2; ++n) EXPECT_FALSE(c.HardwareVersionText(n).empty()) << n;
  EXPECT_NE(c.FirmwareVersionText(1), "Timeout");
  EXPECT_FALSE(c.GetPowerSupplyType().empty());
  EXPECT_EQ(c.currentPort.load(), 0);
}

TEST(SimulatedCart, TheLogDumpsAndClears) {
  SimFixture fixture;
  ASSERT_TRUE(fixture.Connect());
  auto& c = fixture.controller;
  c.DumpLog();
  ASSERT_GT(c.LogCount(), 0);
  EXPECT_FALSE(c.LogLine(c.LogCount() - 1).empty());
  c.ClearLog();
  c.DumpLog();
  EXPECT_LE(c.LogCount(), 1);
  EXPECT_EQ(c.currentPort.load(), 0);
}

TEST(SimulatedCart, ServiceCommandsKeepTheLink) {
  SimFixture fixture;
  ASSERT_TRUE(fixture.Connect());
  auto& c = fixture.controller;
  c.GetVersion();
  if (c.AuxBoardKind() == 1) {
    EXPECT_TRUE(c.ResetGasGauge());
  }
  c.SetRealTimeClock();
  EXPECT_FALSE(c.GetStatus().empty());
  EXPECT_EQ(c.currentPort.load(), 0);
}

TEST(SimulatedCart, AnEchoingCartGivesTheSameAnswers) {
  cartsim::SimCart::Options options;
  options.echo = true;
  SimFixture fixture(options);
  ASSERT_TRUE(fixture.Connect());
  auto& c = fixture.controller;
  ASSERT_TRUE(c.echoesCommands.load());
  c.SetCartName("Ward 7");
  EXPECT_EQ(c.GetCartName(), "Ward 7");
  c.DumpPinList();
  const int before = c.PinCount();
  c.AddPin("31337", molvane::Now());
  c.DumpPinList();
  EXPECT_EQ(c.PinCount(), before + 1);
  EXPECT_EQ(c.currentPort.load(), 0);
}
