// Settings through molvanectl against the in-process simulated cart: what the set commands
// change, what the cart refuses, and input the tool refuses before it sends anything.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>

#include "cart/setup_values.h"
#include "cli/ctl_process.h"
#include "support/sim_fixture.h"

namespace {

using testing_support::EmptyCart;

using cli_testing::CtlRun;
using cli_testing::Lines;
using testing_support::SimFixture;

struct SettingsTest : ::testing::Test {
  SimFixture sim{EmptyCart()};
  CtlRun Ctl(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"--port", sim.link.DevicePath()});
    return cli_testing::RunCtl(arguments, sim.dir.Path());
  }
  // Runs "info" once and checks that every expected line is in its output.
  void InfoHas(const std::vector<std::string>& expected) {
    const CtlRun info = Ctl({"info"});
    EXPECT_EQ(info.exitCode, 0) << info.err;
    const std::vector<std::string> lines = Lines(info.out);
    for (const std::string& line : expected) {
      EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end())
          << "no line '" << line << "' in:\n"
          << info.out;
    }
  }
};

TEST_F(SettingsTest, SetCommandsChangeWhatInfoReports) {
  ASSERT_TRUE(sim.started);
  EXPECT_EQ(Ctl({"set-timeouts", "65535", "0", "120"}).exitCode, 0);
  EXPECT_EQ(Ctl({"set-locks", "2500", "0"}).exitCode, 0);
  EXPECT_EQ(Ctl({"set-cart-type", "solenoid"}).exitCode, 0);
  EXPECT_EQ(Ctl({"set-serial", "SN-77"}).exitCode, 0);
  EXPECT_EQ(Ctl({"set-name", "Ward 9"}).exitCode, 0);

  InfoHas({"Keyboard light timeout: 65535 s", "LCD backlight timeout: 0 s",
           "Drawer lock-down timeout: 120 s", "Main lock activation: 2500 ms",
           "Side lock activation: 0 ms", "Lock type: Solenoid (K61/K52VE)", "Serial number: SN-77",
           "Cart name: Ward 9", "Power supply: AC Out"});

  EXPECT_EQ(Ctl({"set-cart-type", "motor"}).exitCode, 0);
  InfoHas({"Lock type: Motor (K52TA)"});
}

TEST_F(SettingsTest, LongNameIsCutAndTheToolSaysSo) {
  ASSERT_TRUE(sim.started);
  const CtlRun run = Ctl({"set-name", "Oncology Ward North"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("15 characters"), std::string::npos) << run.out;
  InfoHas({"Cart name: Oncology Ward N"});
}

TEST_F(SettingsTest, BadgeFormatAndPinLengthAreReadBack) {
  ASSERT_TRUE(sim.started);
  const CtlRun set = Ctl({"rfid", "set", "4", "PBB0", "65535"});
  EXPECT_EQ(set.exitCode, 0) << set.err;
  const CtlRun digits = Ctl({"pin-digits", "set", "8"});
  EXPECT_EQ(digits.exitCode, 0) << digits.err;
  const CtlRun get = Ctl({"rfid", "get"});
  EXPECT_EQ(Lines(get.out),
            (std::vector<std::string>{"RFID bits: 4", "RFID mask: PBB0", "Facility code: 65535",
                                      "Max. PIN digits: 8"}));
}

TEST_F(SettingsTest, ValueTheCartRefusesIsReportedAsFailure) {
  ASSERT_TRUE(sim.started);
  // Five digits pass the tool's check; the cart takes facility codes up to 65535 only.
  const CtlRun run = Ctl({"rfid", "set", "3", "PFB", "99999"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err, "Error: Unknown.\n") << "the cart's refusal, in the words the pages use";
  // The cart takes at most ten PIN digits.
  const CtlRun digits = Ctl({"pin-digits", "set", "11"});
  EXPECT_EQ(digits.exitCode, 1);
  EXPECT_EQ(Lines(digits.err).size(), 1u) << digits.err;
}

TEST_F(SettingsTest, RefusedInputSendsNothing) {
  ASSERT_TRUE(sim.started);
  const std::vector<std::vector<std::string>> refused = {
      {"set-timeouts", "65536", "0", "0"},
      {"set-timeouts", "10", "-1", "0"},
      {"set-timeouts", "10", "20", "3x"},
      {"set-locks", "2500", "2501"},
      {"set-name", "say \"hi\""},
      {"pins", "add", "12", "4294967296"},
      {"pins", "remove", "12a"},
      {"rfid", "set", "26", "PFB", "1"},  // bits differ from the mask length
      {"rfid", "set", "4", "PfB0", "1"},  // lower-case mask character
      {"rfid", "set", "123", std::string(123, 'B'), "1"},
      {"rfid", "set", "3", "PFB", "123456"},
      {"pin-digits", "set", "1000"},
  };
  for (const auto& arguments : refused) {
    const CtlRun run = Ctl(arguments);
    EXPECT_EQ(run.exitCode, 1) << arguments[0] << " " << arguments[1];
    EXPECT_EQ(Lines(run.err).size(), 1u) << run.err;
  }
  EXPECT_EQ(sim.sim.Inspect([](cartsim::SimCart& s) { return s.CommandsSeen(); }), 0);
}

TEST_F(SettingsTest, RefusalsSayWhatTheSetupPageSays) {
  ASSERT_TRUE(sim.started);
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"set-locks", "3000", "1x"}, "The lock activation time must be an integer."},
      {{"set-serial", "say \"hi\""}, molvane::IdentityTextRefusal("serial number")},
  };
  for (const auto& [arguments, message] : cases) {
    const CtlRun run = Ctl(arguments);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
  }
}

TEST_F(SettingsTest, ClockIsSetToThisComputersLocalTime) {
  ASSERT_TRUE(sim.started);
  sim.Cart([](cartsim::CartModel& cart) {
    cart.Clock().Set(cartsim::CartDate{0, 0, 0, 1, 1, 9});
    return 0;
  });
  const CtlRun run = Ctl({"clock", "set"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  const cartsim::CartDate pc{local.tm_sec,  local.tm_min,     local.tm_hour,
                             local.tm_mday, local.tm_mon + 1, local.tm_year - 100};
  const cartsim::CartSeconds cart = sim.Cart([](cartsim::CartModel& c) { return c.Clock().Now(); });
  EXPECT_LE(std::abs(cart - cartsim::SecondsFromCartDate(pc)), 5);
}

TEST_F(SettingsTest, GasGaugeResetIsConfirmedByTheCart) {
  ASSERT_TRUE(sim.started);
  const CtlRun run = Ctl({"gas-gauge", "reset"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "Gas Gauge Reset Complete.\n");
}

TEST(CtlReadBack, DigitFieldsAreComparedByValue) {
  // A firmware that keeps these as numbers answers "8" after "08".
  cartsim::SimCart::Options options = EmptyCart();
  options.cart.numericBadgeSettings = true;
  SimFixture sim(options);
  ASSERT_TRUE(sim.started);
  auto ctl = [&](std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"--port", sim.link.DevicePath()});
    return cli_testing::RunCtl(arguments, sim.dir.Path());
  };
  const CtlRun rfid = ctl({"rfid", "set", "08", "PFFBBBBP", "00123"});
  EXPECT_EQ(rfid.exitCode, 0) << rfid.err;
  EXPECT_EQ(Lines(rfid.out), (std::vector<std::string>{"RFID bits: 8", "RFID mask: PFFBBBBP",
                                                       "Facility code: 123"}));
  const CtlRun digits = ctl({"pin-digits", "set", "08"});
  EXPECT_EQ(digits.exitCode, 0) << digits.err;
  EXPECT_EQ(digits.out, "Max. PIN digits: 8\n");
  // Another number is still another number.
  const CtlRun refused = ctl({"pin-digits", "set", "11"});
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_EQ(refused.err, "Error: Unknown.\n");
}

}  // namespace
