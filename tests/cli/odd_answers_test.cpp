// Answers that look like something else: a word that is also the time-out's, a NUL byte, a line
// longer than any answer. molvanectl must show them as what they are and find the cart again.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli/ctl_process.h"
#include "support/controller_settings.h"
#include "support/sim_fixture.h"

namespace {

using cli_testing::CtlRun;
using cli_testing::Lines;
using cli_testing::RunCtl;
using testing_support::SimFixture;

struct OddAnswers : ::testing::Test {
  CtlRun Ctl(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"--port", sim.link.DevicePath()});
    return RunCtl(arguments, sim.dir.Path());
  }
  void NameTheCart(const std::string& name) {
    sim.Cart([&](cartsim::CartModel& c) { return c.Settings().name = name; });
  }
  SimFixture sim;
};

// The word is the cart's, not the line reader's: neither molvanectl nor the desktop program's
// connection check (the scanner's probe, then the keep-alive) may take it for a time-out.
TEST(OddAnswerWords, ACartCalledTimeoutWardIsNoTimeout) {
  cartsim::SimCart::Options options;
  options.cart.statusNote = "Timeout Ward";
  SimFixture ward(options);
  ASSERT_TRUE(ward.started);
  ward.Cart([](cartsim::CartModel& c) { return c.Settings().name = "Timeout Ward"; });
  const CtlRun info = RunCtl({"--port", ward.link.DevicePath(), "info"}, ward.dir.Path());
  EXPECT_EQ(info.exitCode, 0) << info.err;
  EXPECT_NE(info.out.find("Cart name: Timeout Ward\n"), std::string::npos) << info.out;
  const CtlRun status = RunCtl({"--port", ward.link.DevicePath(), "status"}, ward.dir.Path());
  EXPECT_EQ(status.out, "00 Timeout Ward\n") << status.err;

  molvane::CartController& desktop = ward.controller;
  testing_support::SetDiscovery(desktop, &molvane::DiscoverySource::sysfsRoot, ward.dir.Path());
  testing_support::SetDiscovery(desktop, &molvane::DiscoverySource::useEnvironment, false);
  testing_support::SetDiscovery(desktop, &molvane::DiscoverySource::extraPorts,
                                ward.link.DevicePath());
  desktop.ScanPorts();
  ASSERT_EQ(desktop.CartCount(), 1);
  EXPECT_EQ(desktop.GetStatus().value, "00 Timeout Ward");
  EXPECT_EQ(desktop.CurrentPort(), 0) << desktop.MessageText();
  EXPECT_EQ(desktop.MessageText(), "");
}

// A NUL in what the cart says is shown escaped, never cutting the line at it; JSON keeps the text
// as it is.
TEST_F(OddAnswers, ANulByteIsShownEscapedNotCutAt) {
  NameTheCart(std::string("Wa\0rd 7", 7));
  const CtlRun info = Ctl({"info"});
  EXPECT_EQ(info.exitCode, 0) << info.err;
  EXPECT_NE(info.out.find("Cart name: Wa\\0rd 7\n"), std::string::npos) << info.out;
  const CtlRun json = Ctl({"--json", "info"});
  EXPECT_EQ(nlohmann::json::parse(json.out)["cart_name"], std::string("Wa\0rd 7", 7));
  EXPECT_EQ(Ctl({"send", "cart_name_get"}).out, "\"Wa\\0rd 7\"\n");
}

// The first run gives the line up; the rest of it must not stand between the next runs and the
// cart.
TEST_F(OddAnswers, AHundredKibAnswerEndsOneRunAndTheNextRunsFindTheCart) {
  NameTheCart("Ward 7");  // while the simulator is not busy sending
  sim.sim.faults.longAnswerBytes = 100 * 1024;
  const CtlRun cut = Ctl({"info"});
  EXPECT_EQ(cut.exitCode, 1);
  EXPECT_EQ(Lines(cut.err), (std::vector<std::string>{"Error: Timeout"}));
  sim.sim.faults.longAnswerBytes = 0;
  for (int run = 1; run <= 2; ++run) {
    const CtlRun next = Ctl({"info"});
    EXPECT_EQ(next.exitCode, 0) << "run " << run << ": " << next.err;
    EXPECT_NE(next.out.find("Cart name: Ward 7\n"), std::string::npos) << next.out;
  }
}

// A value the cart gives in no form of its own is named with what the cart said, and the run
// fails; the values it did give are still shown, as lines and in the document.
TEST_F(OddAnswers, RfidGetShowsWhatItUnderstoodAndNamesTheRest) {
  struct Case {
    std::vector<std::string> answers;  // bits, mask, facility, max. PIN digits
    std::vector<std::string> out, err;
    nlohmann::json json;
  };
  const std::string bits =
      "Error: The cart answered get_rfid_bits with '260', which is no setting.";
  const std::string mask =
      "Error: The cart answered get_rfid_mask with 'PXB', which is no setting.";
  const std::string digits =
      "Error: The cart answered get_max_pin_digits with '1234', which is no setting.";
  using nlohmann::json;
  const std::vector<Case> cases = {
      {{"260", "PFB", "0", "6"},
       {"RFID mask: PFB", "Facility code: 0", "Max. PIN digits: 6"},
       {bits},
       {{"rfid_bits", nullptr},
        {"rfid_mask", "PFB"},
        {"facility_code", 0},
        {"max_pin_digits", 6},
        {"error", bits}}},
      {{"3", "PXB", "00123", "1234"},
       {"RFID bits: 3", "Facility code: 00123"},
       {mask, digits},
       {{"rfid_bits", 3},
        {"rfid_mask", nullptr},
        {"facility_code", 123},
        {"max_pin_digits", nullptr},
        {"error", mask + "\n" + digits}}},
      {{"3", "PFB", "0", "10"},
       {"RFID bits: 3", "RFID mask: PFB", "Facility code: 0", "Max. PIN digits: 10"},
       {},
       {{"rfid_bits", 3}, {"rfid_mask", "PFB"}, {"facility_code", 0}, {"max_pin_digits", 10}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answers[0] + " " + c.answers[1] + " " + c.answers[2] + " " + c.answers[3]);
    sim.Cart([&](cartsim::CartModel& cart) {
      cartsim::CartSettings& s = cart.Settings();
      s.rfidBits = c.answers[0];
      s.rfidMask = c.answers[1];
      s.rfidFacility = c.answers[2];
      return s.maxPinDigits = c.answers[3];
    });
    const CtlRun lines = Ctl({"rfid", "get"});
    EXPECT_EQ(lines.exitCode, c.err.empty() ? 0 : 1);
    EXPECT_EQ(Lines(lines.out), c.out);
    EXPECT_EQ(Lines(lines.err), c.err);
    const CtlRun document = Ctl({"--json", "rfid", "get"});
    EXPECT_EQ(document.exitCode, c.err.empty() ? 0 : 1);
    EXPECT_EQ(json::parse(document.out, nullptr, false), c.json) << document.out;
    EXPECT_EQ(Lines(document.err), c.err);
  }
}

}  // namespace
