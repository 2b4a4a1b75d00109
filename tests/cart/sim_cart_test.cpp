// The host operations against the simulated cart: what one side sends, the other understands.
#include <gtest/gtest.h>

#include "base/clock.h"
#include "cart/cart_identity.h"
#include "cart/command_vocabulary.h"
#include "cart/event_log.h"
#include "cart/pin_list.h"
#include "cart/rfid_settings.h"
#include "cart/service_commands.h"
#include "cart/setup_reply.h"
#include "cart/version_info.h"
#include "support/sim_fixture.h"

using testing_support::SimFixture;

TEST(SimulatedCart, PinsAddedAndRemovedShowInTheNextDump) {
  SimFixture fixture;
  ASSERT_TRUE(fixture.Connect());
  auto& c = fixture.controller;
  EXPECT_TRUE(molvane::DumpPinList(c));
  const int before = c.Pins().count;
  EXPECT_TRUE(molvane::AddPin(c, "4294967294", molvane::Now()));
  EXPECT_TRUE(molvane::AddPin(c, "4294967295", molvane::Now()));
  EXPECT_TRUE(molvane::DumpPinList(c));
  EXPECT_EQ(c.Pins().count, before + 2);
  EXPECT_TRUE(molvane::ContainsPin(c.Pins(), 4294967294u));
  EXPECT_TRUE(molvane::ContainsPin(c.Pins(), 4294967295u));
  EXPECT_TRUE(molvane::RemovePin(c, "4294967294"));
  EXPECT_TRUE(molvane::DumpPinList(c));
  EXPECT_FALSE(molvane::ContainsPin(c.Pins(), 4294967294u));
  EXPECT_TRUE(molvane::ContainsPin(c.Pins(), 4294967295u));
  EXPECT_TRUE(molvane::RemoveAllPins(c));
  EXPECT_TRUE(molvane::DumpPinList(c));
  EXPECT_EQ(c.Pins().count, 0);
  EXPECT_EQ(c.CurrentPort(), 0);
}

TEST(SimulatedCart, IdentityAndRfidSettingsReadBackAsSet) {
  SimFixture fixture;
  ASSERT_TRUE(fixture.Connect());
  auto& c = fixture.controller;
  EXPECT_TRUE(molvane::SetCartName(c, "ABCDEFGHIJKLMNOPQRST"));
  EXPECT_EQ(molvane::GetCartName(c).value, "ABCDEFGHIJKLMNO");
  EXPECT_TRUE(molvane::SetSerialNumber(c, "SN-2026-7"));
  EXPECT_EQ(molvane::GetSerialNumber(c).value, "SN-2026-7");
  EXPECT_TRUE(molvane::SetRfidMask(c, "PFFFFFFFFBBBBBBBBBBBBBBBBP"));
  EXPECT_TRUE(molvane::SetRfidBits(c, "26"));
  EXPECT_TRUE(molvane::SetRfidFacility(c, "123"));
  EXPECT_TRUE(molvane::SetMaxPinDigits(c, "8"));
  EXPECT_EQ(molvane::GetRfidBits(c).value, "26");
  EXPECT_EQ(molvane::GetRfidMask(c).value, "PFFFFFFFFBBBBBBBBBBBBBBBBP");
  EXPECT_EQ(molvane::GetRfidFacility(c).value, "123");
  EXPECT_EQ(molvane::GetMaxPinDigits(c).value, "8");
  EXPECT_EQ(c.CurrentPort(), 0);
}

TEST(SimulatedCart, SetupSettingsReadBackAsSet) {
  SimFixture fixture;
  ASSERT_TRUE(fixture.Connect());
  auto& c = fixture.controller;
  EXPECT_TRUE(molvane::SetBacklightTimeout(c, 30));
  EXPECT_TRUE(molvane::SetKeyboardTimeout(c, 15));
  EXPECT_TRUE(molvane::SetRelockTimeout(c, 5));
  EXPECT_TRUE(molvane::SetCartType(c, 85));
  EXPECT_TRUE(molvane::SetLockActivation(c, 500, 250));
  const molvane::SetupSettings s = molvane::DecodeSetupReply(molvane::GetSetupDlgFull(c).value);
  EXPECT_EQ(s.backlightTimeout, 30);
  EXPECT_EQ(s.keyboardTimeout, 15);
  EXPECT_EQ(s.relockTimeout, 5);
  EXPECT_TRUE(s.motorLock);
  EXPECT_EQ(s.mainLockMs, 500);
  EXPECT_EQ(s.sideLockMs, 250);
  EXPECT_EQ(c.CurrentPort(), 0);
}

TEST(SimulatedCart, VersionFillsEverySlotAndKeepsTheLink) {
  SimFixture fixture;
  ASSERT_TRUE(fixture.Connect());
  auto& c = fixture.controller;
  EXPECT_TRUE(molvane::GetVersion(c));
  for (int n = 1; n <= 4; ++n)
    EXPECT_FALSE(molvane::FirmwareVersionText(c.Versions(), n).empty()) << n;
  for (int n = 1; n <= 2; ++n)
    EXPECT_FALSE(molvane::HardwareVersionText(c.Versions(), n).empty()) << n;
  EXPECT_NE(molvane::FirmwareVersionText(c.Versions(), 1), "Timeout");
  EXPECT_FALSE(molvane::GetPowerSupplyType(c).value.empty());
  EXPECT_EQ(c.CurrentPort(), 0);
}

TEST(SimulatedCart, TheLogDumpsAndClears) {
  SimFixture fixture;
  ASSERT_TRUE(fixture.Connect());
  auto& c = fixture.controller;
  EXPECT_TRUE(molvane::DumpLog(c));
  ASSERT_GT(c.Events().count, 0);
  EXPECT_FALSE(molvane::LogLine(c.Events(), c.Events().count - 1).empty());
  EXPECT_TRUE(molvane::ClearLog(c));
  EXPECT_TRUE(molvane::DumpLog(c));
  EXPECT_LE(c.Events().count, 1);
  EXPECT_EQ(c.CurrentPort(), 0);
}

TEST(SimulatedCart, ServiceCommandsKeepTheLink) {
  SimFixture fixture;
  ASSERT_TRUE(fixture.Connect());
  auto& c = fixture.controller;
  EXPECT_TRUE(molvane::GetVersion(c));
  if (c.AuxBoardKind() == 1) {
    EXPECT_TRUE(molvane::ResetGasGauge(c));
  }
  EXPECT_TRUE(molvane::SetRealTimeClock(c));
  EXPECT_FALSE(c.GetStatus().value.empty());
  EXPECT_EQ(c.CurrentPort(), 0);
}

TEST(SimulatedCart, AnEchoingCartGivesTheSameAnswers) {
  cartsim::SimCart::Options options;
  options.echo = true;
  SimFixture fixture(options);
  ASSERT_TRUE(fixture.Connect());
  auto& c = fixture.controller;
  ASSERT_TRUE(c.EchoesCommands());
  EXPECT_TRUE(molvane::SetCartName(c, "Ward 7"));
  EXPECT_EQ(molvane::GetCartName(c).value, "Ward 7");
  EXPECT_TRUE(molvane::DumpPinList(c));
  const int before = c.Pins().count;
  EXPECT_TRUE(molvane::AddPin(c, "31337", molvane::Now()));
  EXPECT_TRUE(molvane::DumpPinList(c));
  EXPECT_EQ(c.Pins().count, before + 1);
  EXPECT_EQ(c.CurrentPort(), 0);
}
