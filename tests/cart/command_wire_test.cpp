#include <gtest/gtest.h>

#include <functional>

#include "cart/cart_identity.h"
#include "cart/command_vocabulary.h"
#include "cart/event_log.h"
#include "cart/pin_list.h"
#include "cart/rfid_settings.h"
#include "cart/service_commands.h"
#include "cart/setup_values.h"
#include "cart/version_info.h"
#include "wire_helpers.h"

using namespace cart_tests;
using molvane::CartController;

namespace {

struct Sent {
  std::function<molvane::Outcome(CartController&)> call;
  std::string line;
};

}  // namespace

TEST(CommandVocabulary, EachSettingSendsItsExactTextAndReadsOneReply) {
  const std::vector<Sent> cases = {
      {[](CartController& c) { return molvane::SetKeyboardTimeout(c, 65535); },
       "keyboard_set_timeout 65535"},
      {[](CartController& c) { return molvane::SetBacklightTimeout(c, -4); },
       "backlight_set_timeout -4"},
      {[](CartController& c) { return molvane::SetRelockTimeout(c, 0); }, "relock_set_timeout 0"},
      {[](CartController& c) { return molvane::SetCartType(c, 85); }, "set_cart_type 85"},
      {[](CartController& c) { return molvane::SetCartType(c, 170 + 256); }, "set_cart_type 170"},
      {[](CartController& c) { return molvane::ToggleKeyboardLight(c); }, "keyboard_toggle"},
      {[](CartController& c) { return molvane::Lock(c); }, "lock"},
      {[](CartController& c) { return molvane::Unlock(c); }, "unlock"},
      {[](CartController& c) { return molvane::ResetCycleCount(c); }, "cycle_count_reset"},
      {[](CartController& c) { return molvane::SetSensorRun(c, 5); }, "sensor_run 1"},
      {[](CartController& c) { return molvane::SetSensorRun(c, -3); }, "sensor_run 0"},
      {[](CartController& c) { return molvane::SetSensorMask(c, 511); }, "sensor_set_mask 255"},
      {[](CartController& c) { return molvane::SetLiftMinVolts(c, 80.0f); },
       "lift_set_min_volts 767"},
      {[](CartController& c) { return molvane::SetLiftMaxUpCurrent(c, 2.99f); },
       "lift_set_max_current 29"},
      {[](CartController& c) { return molvane::SetLiftMaxDownCurrent(c, 2.59f); },
       "lift_set_dn_max_current 25"},
      {[](CartController& c) { return molvane::SetLiftLock(c, 7); }, "set_lift_lock 1"},
      {[](CartController& c) { return molvane::SetLiftRelockTimeout(c, 90); },
       "set_lift_relock_timeout 90"},
      {[](CartController& c) { return molvane::SetLiftRelockStatus(c, 1); },
       "set_lift_relock_status 1"},
      {[](CartController& c) { return molvane::SetLiftRelockStatus(c, 2); },
       "set_lift_relock_status 0"},
      {[](CartController& c) { return molvane::LiftUp(c); }, "lift_up"},
      {[](CartController& c) { return molvane::LiftDown(c); }, "lift_dn"},
      {[](CartController& c) { return molvane::LiftOff(c); }, "lift_off"},
      {[](CartController& c) { return molvane::ClearLog(c); }, "log_clear"},
  };
  // One answer line per command: an operation that read more would time out and lose the port.
  ConnectedController fixture(AlwaysAnswer("ok\r"));
  for (const Sent& sent : cases) EXPECT_TRUE(sent.call(fixture.controller)) << sent.line;
  const auto lines = fixture.cart.Lines();
  ASSERT_EQ(lines.size(), cases.size());
  for (std::size_t i = 0; i < cases.size(); ++i) EXPECT_EQ(lines[i], cases[i].line);
  EXPECT_EQ(fixture.controller.CurrentPort(), 0);
}

TEST(CommandVocabulary, UnknownCartTypeSendsAndReadsNothing) {
  ConnectedController fixture(AlwaysAnswer(""));
  const molvane::Outcome unknown = molvane::SetCartType(fixture.controller, 1);
  EXPECT_FALSE(unknown);
  EXPECT_EQ(unknown.text,
            "The lock type 1 is neither a motor (85) nor a solenoid (170) lock; nothing was sent.");
  EXPECT_FALSE(molvane::SetCartType(fixture.controller, 0x1FF));
  EXPECT_TRUE(fixture.cart.RawBytes().empty());
  EXPECT_EQ(fixture.controller.CurrentPort(), 0);  // a read of the silent cart would close it
}

TEST(CommandVocabulary, LockActivationSendsMainThenSideEachWithItsReply) {
  ConnectedController fixture(Answers({{"set_main_lock_active 500", "m\r"},
                                       {"set_side_lock_active 0", "s\r"},
                                       {"lockbits", "0x3F\r>"}}));
  EXPECT_TRUE(molvane::SetLockActivation(fixture.controller, 500, 0));
  EXPECT_EQ(fixture.controller.CurrentPort(), 0);
  EXPECT_EQ(molvane::GetLockBits(fixture.controller).value, "0x3F");
  const std::vector<std::string> expected = {"set_main_lock_active 500", "set_side_lock_active 0",
                                             "lockbits"};
  EXPECT_EQ(fixture.cart.Lines(), expected);
}

TEST(CommandVocabulary, QueriesReturnTheirReplyLine) {
  ConnectedController fixture(Answers({{"get_calib_fast_data", "1 2 3\r"},
                                       {"get_calib_slow_data", "4 5\r"},
                                       {"get_setup_dlg_full", "30 15 5 85 500 250 AC\r"},
                                       {"get_cycle_count", "1234\r"},
                                       {"sensor_get_run", " 1\r"}}));
  auto& c = fixture.controller;
  EXPECT_EQ(molvane::GetCalibFastData(c).value, "1 2 3");
  EXPECT_EQ(molvane::GetCalibSlowData(c).value, "4 5");
  EXPECT_EQ(molvane::GetSetupDlgFull(c).value, "30 15 5 85 500 250 AC");
  EXPECT_EQ(molvane::GetCycleCount(c).value, "1234");
  EXPECT_EQ(molvane::GetSensorRun(c).value, 1);
}

TEST(CommandVocabulary, SensorRunOfASilentCartIsZero) {
  ConnectedController fixture(AlwaysAnswer(""));
  const molvane::Result<int> run = molvane::GetSensorRun(fixture.controller);
  EXPECT_FALSE(run);
  EXPECT_EQ(run.value, 0);
  EXPECT_EQ(fixture.controller.CurrentPort(), -1);
}

TEST(Version, SevenLinesLandInTheirSlots) {
  ConnectedController fixture(
      Answers({{"version",
                "Main 6.1\rMain HW B\rCharger 2.0\rFront HW A\rFront 3.3\rBoot 1.0\r"
                "Copyright\r"}}));
  auto& c = fixture.controller;
  EXPECT_TRUE(molvane::GetVersion(c));
  EXPECT_EQ(molvane::FirmwareVersionText(c.Versions(), 1), "Main 6.1");
  EXPECT_EQ(molvane::FirmwareVersionText(c.Versions(), 2), "Charger 2.0");
  EXPECT_EQ(molvane::FirmwareVersionText(c.Versions(), 3), "Front 3.3");
  EXPECT_EQ(molvane::FirmwareVersionText(c.Versions(), 4), "Boot 1.0");
  EXPECT_EQ(molvane::HardwareVersionText(c.Versions(), 1), "Main HW B");
  EXPECT_EQ(molvane::HardwareVersionText(c.Versions(), 2), "Front HW A");
  EXPECT_EQ(molvane::FirmwareVersionText(c.Versions(), 0), "");
  EXPECT_EQ(molvane::FirmwareVersionText(c.Versions(), 5), "");
  EXPECT_EQ(molvane::HardwareVersionText(c.Versions(), 3), "");
  EXPECT_EQ(c.AuxBoardKind(), 1);
  EXPECT_EQ(c.CurrentPort(), 0);
}

TEST(Version, ThirdLineDecidesTheAuxiliaryBoard) {
  const std::vector<std::pair<std::string, int>> cases = {
      {"Translation 1.2", 0}, {"Translation and Charger", 1}, {"Display 4", 2}, {"charger", 2}};
  for (const auto& [third, kind] : cases) {
    ConnectedController fixture(Answers({{"version", "a\rb\r" + third + "\rd\re\rf\rg\r"}}));
    EXPECT_TRUE(molvane::GetVersion(fixture.controller));
    EXPECT_EQ(fixture.controller.AuxBoardKind(), kind) << third;
  }
}

// Versions are only the cart's when all seven lines came; a silent cart leaves the last ones read.
TEST(Version, ASilentCartFailsAndKeepsTheVersionsReadBefore) {
  ConnectedController fixture(AlwaysAnswer(""));
  auto& c = fixture.controller;
  c.KeepVersions({{"Main 6.1", "", "", ""}, {"old", "old"}, 1});
  const molvane::Outcome read = molvane::GetVersion(c);
  EXPECT_FALSE(read);
  EXPECT_EQ(read.text, "Error: Timeout");
  EXPECT_EQ(molvane::FirmwareVersionText(c.Versions(), 1), "Main 6.1");
  EXPECT_EQ(molvane::HardwareVersionText(c.Versions(), 1), "old");
  EXPECT_EQ(c.AuxBoardKind(), 1);
  EXPECT_EQ(c.CurrentPort(), -1);
}

TEST(PowerSupply, FirstOfTwoLinesIsTheType) {
  ConnectedController fixture(Answers({{"get_ps_type", "DC OUT\r>"}}));
  const molvane::Result<std::string> type = molvane::GetPowerSupplyType(fixture.controller);
  EXPECT_TRUE(type);
  EXPECT_EQ(type.value, "DC OUT");
  EXPECT_EQ(fixture.controller.CurrentPort(), 0);
}

TEST(PowerSupply, KindIsACaseSensitiveSearchWithACFirst) {
  EXPECT_EQ(molvane::PowerSupplyKind("DC OUT"), 2);
  EXPECT_EQ(molvane::PowerSupplyKind("AC/DC"), 1);
  EXPECT_EQ(molvane::PowerSupplyKind("ac dc"), 0);
  EXPECT_EQ(molvane::PowerSupplyKind(""), 0);
}

// Without a cart every operation fails with the same words and leaves the copies as they were.
TEST(NoCart, OperationsFailWithoutSendingAnything) {
  CartController c(testing::TempDir(), testing::TempDir());
  c.KeepVersions({{"x", "x", "x", "x"}, {"x", "x"}, 1});
  const std::string noCart = "Error: No cart is connected.";
  EXPECT_EQ(molvane::GetVersion(c).text, noCart);
  for (int n = 1; n <= 4; ++n) EXPECT_EQ(molvane::FirmwareVersionText(c.Versions(), n), "x");
  EXPECT_EQ(c.AuxBoardKind(), 1);
  const molvane::Result<std::string> supply = molvane::GetPowerSupplyType(c);
  EXPECT_EQ(supply.outcome.text, noCart);
  EXPECT_EQ(supply.value, "");
  EXPECT_FALSE(molvane::GetSensorRun(c));
  EXPECT_EQ(molvane::GetSensorRun(c).value, 0);
  EXPECT_FALSE(molvane::GetCartName(c));
  EXPECT_EQ(molvane::GetCartName(c).value, "");
  EXPECT_FALSE(molvane::GetRfidMask(c));
  EXPECT_EQ(molvane::GetRfidMask(c).value, "");
  EXPECT_FALSE(molvane::ResetGasGauge(c));
  EXPECT_EQ(molvane::DumpPinList(c).text, noCart);
  EXPECT_EQ(c.Pins().count, 0);
  EXPECT_EQ(molvane::PinAgeDaysClamped(c.Pins(), c.Pins().oldestIndex), -1);
}
