#include <gtest/gtest.h>

#include <functional>

#include "cart/setup_values.h"
#include "wire_helpers.h"

using namespace cart_tests;
using molvane::CartController;

namespace {

struct Sent {
  std::function<void(CartController&)> call;
  std::string line;
};

}  // namespace

TEST(CommandVocabulary, EachSettingSendsItsExactTextAndReadsOneReply) {
  const std::vector<Sent> cases = {
      {[](CartController& c) { c.SetKeyboardTimeout(65535); }, "keyboard_set_timeout 65535"},
      {[](CartController& c) { c.SetBacklightTimeout(-4); }, "backlight_set_timeout -4"},
      {[](CartController& c) { c.SetRelockTimeout(0); }, "relock_set_timeout 0"},
      {[](CartController& c) { c.SetCartType(85); }, "set_cart_type 85"},
      {[](CartController& c) { c.SetCartType(170 + 256); }, "set_cart_type 170"},
      {[](CartController& c) { c.ToggleKeyboardLight(); }, "keyboard_toggle"},
      {[](CartController& c) { c.Lock(); }, "lock"},
      {[](CartController& c) { c.Unlock(); }, "unlock"},
      {[](CartController& c) { c.ResetCycleCount(); }, "cycle_count_reset"},
      {[](CartController& c) { c.SetSensorRun(5); }, "sensor_run 1"},
      {[](CartController& c) { c.SetSensorRun(-3); }, "sensor_run 0"},
      {[](CartController& c) { c.SetSensorMask(511); }, "sensor_set_mask 255"},
      {[](CartController& c) { c.SetLiftMinVolts(80.0f); }, "lift_set_min_volts 767"},
      {[](CartController& c) { c.SetLiftMaxUpCurrent(2.99f); }, "lift_set_max_current 29"},
      {[](CartController& c) { c.SetLiftMaxDownCurrent(2.59f); }, "lift_set_dn_max_current 25"},
      {[](CartController& c) { c.SetLiftLock(7); }, "set_lift_lock 1"},
      {[](CartController& c) { c.SetLiftRelockTimeout(90); }, "set_lift_relock_timeout 90"},
      {[](CartController& c) { c.SetLiftRelockStatus(1); }, "set_lift_relock_status 1"},
      {[](CartController& c) { c.SetLiftRelockStatus(2); }, "set_lift_relock_status 0"},
      {[](CartController& c) { c.LiftUp(); }, "lift_up"},
      {[](CartController& c) { c.LiftDown(); }, "lift_dn"},
      {[](CartController& c) { c.LiftOff(); }, "lift_off"},
      {[](CartController& c) { c.ClearLog(); }, "log_clear"},
  };
  // One answer line per command: an operation that read more would time out and lose the port.
  ConnectedController fixture(AlwaysAnswer("ok\r"));
  for (const Sent& sent : cases) sent.call(fixture.controller);
  const auto lines = fixture.cart.Lines();
  ASSERT_EQ(lines.size(), cases.size());
  for (std::size_t i = 0; i < cases.size(); ++i) EXPECT_EQ(lines[i], cases[i].line);
  EXPECT_EQ(fixture.controller.currentPort.load(), 0);
}

TEST(CommandVocabulary, UnknownCartTypeSendsAndReadsNothing) {
  ConnectedController fixture(AlwaysAnswer(""));
  fixture.controller.SetCartType(1);
  fixture.controller.SetCartType(0x1FF);
  EXPECT_TRUE(fixture.cart.RawBytes().empty());
  EXPECT_EQ(fixture.controller.currentPort.load(), 0);  // a read of the silent cart would close it
}

TEST(CommandVocabulary, LockActivationSendsMainThenSideEachWithItsReply) {
  ConnectedController fixture(Answers({{"set_main_lock_active 500", "m\r"},
                                       {"set_side_lock_active 0", "s\r"},
                                       {"lockbits", "0x3F\r>"}}));
  fixture.controller.SetLockActivation(500, 0);
  EXPECT_EQ(fixture.controller.currentPort.load(), 0);
  EXPECT_EQ(fixture.controller.GetLockBits(), "0x3F");
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
  EXPECT_EQ(c.GetCalibFastData(), "1 2 3");
  EXPECT_EQ(c.GetCalibSlowData(), "4 5");
  EXPECT_EQ(c.GetSetupDlgFull(), "30 15 5 85 500 250 AC");
  EXPECT_EQ(c.GetCycleCount(), "1234");
  EXPECT_EQ(c.GetSensorRun(), 1);
}

TEST(CommandVocabulary, SensorRunOfASilentCartIsZero) {
  ConnectedController fixture(AlwaysAnswer(""));
  EXPECT_EQ(fixture.controller.GetSensorRun(), 0);
  EXPECT_EQ(fixture.controller.currentPort.load(), -1);
}

TEST(Version, SevenLinesLandInTheirSlots) {
  ConnectedController fixture(
      Answers({{"version",
                "Main 6.1\rMain HW B\rCharger 2.0\rFront HW A\rFront 3.3\rBoot 1.0\r"
                "Copyright\r"}}));
  auto& c = fixture.controller;
  c.GetVersion();
  EXPECT_EQ(c.FirmwareVersionText(1), "Main 6.1");
  EXPECT_EQ(c.FirmwareVersionText(2), "Charger 2.0");
  EXPECT_EQ(c.FirmwareVersionText(3), "Front 3.3");
  EXPECT_EQ(c.FirmwareVersionText(4), "Boot 1.0");
  EXPECT_EQ(c.HardwareVersionText(1), "Main HW B");
  EXPECT_EQ(c.HardwareVersionText(2), "Front HW A");
  EXPECT_EQ(c.FirmwareVersionText(0), "");
  EXPECT_EQ(c.FirmwareVersionText(5), "");
  EXPECT_EQ(c.HardwareVersionText(3), "");
  EXPECT_EQ(c.AuxBoardKind(), 1);
  EXPECT_EQ(c.currentPort.load(), 0);
}

TEST(Version, ThirdLineDecidesTheAuxiliaryBoard) {
  const std::vector<std::pair<std::string, int>> cases = {
      {"Translation 1.2", 0}, {"Translation and Charger", 1}, {"Display 4", 2}, {"charger", 2}};
  for (const auto& [third, kind] : cases) {
    ConnectedController fixture(Answers({{"version", "a\rb\r" + third + "\rd\re\rf\rg\r"}}));
    fixture.controller.GetVersion();
    EXPECT_EQ(fixture.controller.AuxBoardKind(), kind) << third;
  }
}

TEST(Version, ASilentCartLeavesTimeoutInTheFirstSlotOnly) {
  ConnectedController fixture(AlwaysAnswer(""));
  auto& c = fixture.controller;
  c.hardwareVersions = {"old", "old"};
  c.GetVersion();
  EXPECT_EQ(c.FirmwareVersionText(1), "Timeout");
  EXPECT_EQ(c.FirmwareVersionText(2), "");
  EXPECT_EQ(c.HardwareVersionText(1), "");
  EXPECT_EQ(c.AuxBoardKind(), 2);
  EXPECT_EQ(c.currentPort.load(), -1);
}

TEST(PowerSupply, FirstOfTwoLinesIsTheType) {
  ConnectedController fixture(Answers({{"get_ps_type", "DC OUT\r>"}}));
  EXPECT_EQ(fixture.controller.GetPowerSupplyType(), "DC OUT");
  EXPECT_EQ(fixture.controller.currentPort.load(), 0);
}

TEST(PowerSupply, KindIsACaseSensitiveSearchWithACFirst) {
  EXPECT_EQ(molvane::PowerSupplyKind("DC OUT"), 2);
  EXPECT_EQ(molvane::PowerSupplyKind("AC/DC"), 1);
  EXPECT_EQ(molvane::PowerSupplyKind("ac dc"), 0);
  EXPECT_EQ(molvane::PowerSupplyKind(""), 0);
}

TEST(NoCart, OperationsRunThroughWithoutSendingAnything) {
  CartController c(testing::TempDir(), testing::TempDir());
  c.firmwareVersions = {"x", "x", "x", "x"};
  c.auxBoardKind = 1;
  c.GetVersion();
  for (int n = 1; n <= 4; ++n) EXPECT_EQ(c.FirmwareVersionText(n), "");
  EXPECT_EQ(c.AuxBoardKind(), 2);
  EXPECT_EQ(c.GetPowerSupplyType(), "");
  EXPECT_EQ(c.GetSensorRun(), 0);
  EXPECT_EQ(c.GetCartName(), "");
  EXPECT_EQ(c.GetRfidMask(), "");
  EXPECT_FALSE(c.ResetGasGauge());
  c.DumpPinList();
  EXPECT_EQ(c.PinCount(), 0);
  EXPECT_EQ(c.OldestPinIndex(), -1);
}
