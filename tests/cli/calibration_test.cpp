// Factory calibration through molvanectl against the in-process simulated cart: the limits are
// converted and limited as on the page, refused input never reaches the cart, and the lift's
// failures are reported.
#include <gtest/gtest.h>

#include <algorithm>

#include "cli/ctl_process.h"
#include "support/sim_fixture.h"

namespace {

using cli_testing::CtlRun;
using cli_testing::Lines;

struct CalibrationCtl : ::testing::Test {
  testing_support::SimFixture sim;
  CtlRun Ctl(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"--port", sim.link.DevicePath()});
    return cli_testing::RunCtl(arguments, sim.dir.Path());
  }
  cartsim::CartSettings Settings() {
    return sim.Cart([](cartsim::CartModel& cart) { return cart.Settings(); });
  }
  static bool Has(const CtlRun& run, const std::string& line) {
    const std::vector<std::string> lines = Lines(run.out);
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }
};

TEST_F(CalibrationCtl, LimitsAndLayoutAreConvertedSentAndReadBack) {
  ASSERT_TRUE(sim.started);
  const CtlRun limits = Ctl({"lift", "limits", "--up", "80", "--down", "2.99", "--min-volts",
                             "23.51", "--relock-timeout", "65534"});
  EXPECT_EQ(limits.exitCode, 0) << limits.err;
  cartsim::CartSettings s = Settings();
  EXPECT_EQ(s.liftUpCurrentTenths, 767);
  EXPECT_EQ(s.liftDownCurrentTenths, 29);
  EXPECT_EQ(s.liftMinVoltsTenths, 236);
  EXPECT_EQ(s.liftRelockTimeout, 65534);
  EXPECT_TRUE(Has(limits, "The Max Up Current is limited to 76.7 amperes.")) << limits.out;
  EXPECT_TRUE(Has(limits, "Min battery voltage: 23.6 V")) << limits.out;

  for (const std::vector<std::string>& refused :
       {std::vector<std::string>{"lift", "limits", "--relock-timeout", "65535"},
        {"lift", "limits", "--up", "2,5"},
        {"drawers", "100"}}) {
    const CtlRun run = Ctl(refused);
    EXPECT_NE(run.exitCode, 0) << refused.back();
    EXPECT_FALSE(run.err.empty()) << refused.back();
  }
  EXPECT_EQ(Settings().liftRelockTimeout, 65534) << "refused values are not sent";

  EXPECT_EQ(Ctl({"drawers", "4/1111"}).exitCode, 0);
  EXPECT_EQ(Settings().sensorMask, 0x8F);
  sim.Cart([](cartsim::CartModel& cart) { return cart.Settings().liftLocked = 0; });
  const CtlRun calib = Ctl({"calib"});
  EXPECT_EQ(calib.exitCode, 0) << calib.err;
  for (const std::string line : {"Lift lock: off", "Sensors: Running", "Max down current: 2.9 A",
                                 "Auto-lock timeout: 65534 s", "Drawer code: 0x8f",
                                 "Drawer layout: 4/1111 (left: one full-height drawer; right: four "
                                 "single drawers)"})
    EXPECT_TRUE(Has(calib, line)) << line << " not in\n" << calib.out;
}

TEST_F(CalibrationCtl, LiftSensorsAndLockBits) {
  ASSERT_TRUE(sim.started);
  const CtlRun refused = Ctl({"lift", "up"});  // the simulated cart's lift starts locked
  EXPECT_NE(refused.exitCode, 0);
  EXPECT_EQ(refused.err, "Error: Unknown.\n");

  EXPECT_EQ(Ctl({"lift", "lock", "off"}).exitCode, 0);
  EXPECT_EQ(Ctl({"lift", "auto", "off"}).exitCode, 0);
  EXPECT_EQ(Settings().liftAutoLock, 0);
  const CtlRun up = Ctl({"lift", "up"});
  EXPECT_EQ(up.exitCode, 0) << up.err;
  EXPECT_EQ(Ctl({"lift", "brake"}).exitCode, 0);

  EXPECT_EQ(Ctl({"sensors", "stop"}).exitCode, 0);
  EXPECT_EQ(Settings().sensorsRunning, 0);
  EXPECT_EQ(Ctl({"sensors", "run"}).exitCode, 0);
  sim.Cart([](cartsim::CartModel& cart) {
    cart.SetSensorInputs(0xa5);
    return 0;
  });
  EXPECT_TRUE(Has(Ctl({"sensors", "status"}), "Sensor bits: 0xa5 (set: 0 2 5 7)"));
  EXPECT_TRUE(Has(Ctl({"lockbits"}), "Lock bits: FF"));

  // Silent from the command after the connecting probe on.
  sim.sim.faults.silentAfter = sim.sim.Inspect([](auto& s) { return s.CommandsSeen(); }) + 1;
  const CtlRun lost = Ctl({"lift", "down"});
  EXPECT_NE(lost.exitCode, 0);
  EXPECT_NE(lost.err.find("the lift may still be moving"), std::string::npos) << lost.err;
}

}  // namespace
