// Work the cart cuts short, as molvanectl reports it: a cable pulled mid-way, a cart that falls
// silent after a command, a removal the cart refuses, a record garbled on the line. Each fails
// with its own words and never ends in a confirmation.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "cli/ctl_process.h"
#include "support/sim_fixture.h"

namespace {

using cli_testing::CtlRun;
using testing_support::EmptyCart;
using testing_support::SimFixture;
using testing_support::WriteFile;
using Command = std::vector<std::string>;

constexpr const char* kUnplugged =
    "The cable was unplugged or the line closed. Plug the cart in again.";

CtlRun Ctl(SimFixture& cart, Command arguments) {
  arguments.insert(arguments.begin(), {"--port", cart.link.DevicePath()});
  return cli_testing::RunCtl(arguments, cart.dir.Path());
}

std::string Shown(const Command& command) {
  std::string text;
  for (const std::string& word : command) text += word + " ";
  return text;
}

struct CutShort {
  Command command;
  std::function<void(cartsim::SimFaults&)> fault;
  std::string error;
};

TEST(CtlCutShort, EachFailureIsToldInItsOwnWordsAndNothingIsConfirmed) {
  const auto hangUpAt = [](const char* word, int count) {
    return [word, count](cartsim::SimFaults& f) {
      f.onlyWord = word;
      f.hangUpAfter = count;
    };
  };
  const auto refuse = [](cartsim::SimFaults& f) {
    f.onlyWord = "pin_list_remove";
    f.refuseCommands = cartsim::SimFaults::Refusal::Error;
  };
  const std::vector<CutShort> cases = {
      {{"pins", "list"}, hangUpAt("pin_list_dump", 1), kUnplugged},
      // Two PINs went before the cable was pulled at the third.
      {{"pins", "clear"},
       hangUpAt("pin_list_remove", 3),
       "Error: The PIN list was not cleared (2 of 5 PIN(s) removed): PIN 3 was not removed: "
       "Error: The cable was unplugged or the line closed. Plug the cart in again."},
      {{"bitmap", "lines.txt"},
       hangUpAt("er", 1),
       std::string("Error: ") + kUnplugged + " Bitmap Update Aborted."},
      {{"clock", "set"},
       [](cartsim::SimFaults& f) {
         f.onlyWord = "set_time";
         f.silentAfter = 0;
       },
       "Error: Timeout"},
      {{"pins", "remove", "2"}, refuse, "Error: The cart refused to remove PIN 2: Error: Unknown."},
      {{"pins", "clear"},
       refuse,
       "Error: The PIN list was not cleared (0 of 5 PIN(s) removed): The cart refused to remove "
       "PIN 1: Error: Unknown."},
  };
  for (const CutShort& c : cases) {
    SimFixture sim(EmptyCart());
    ASSERT_TRUE(sim.started);
    sim.Cart([](cartsim::CartModel& cart) {
      for (std::uint32_t pin = 1; pin <= 5; ++pin) cart.Pins().Add(pin, cart.Clock().Now());
      return 0;
    });
    WriteFile(sim.dir.File("lines.txt"), "ew 0 0102\r\new 2 0304\r\n");
    sim.sim.Inspect([&](cartsim::SimCart& s) { c.fault(s.faults); });
    const CtlRun run = Ctl(sim, c.command);
    EXPECT_EQ(run.exitCode, 1) << Shown(c.command) << run.out;
    EXPECT_NE(run.err.find(c.error), std::string::npos) << Shown(c.command) << run.err;
    EXPECT_EQ(run.out.find("Complete"), std::string::npos) << Shown(c.command) << run.out;
    EXPECT_EQ(run.out.find("removed."), std::string::npos) << Shown(c.command) << run.out;
  }
}

// What a garbled record would leave behind if it were passed over: a list one PIN short, taken for
// the cart's whole list, from which a restore would plan to remove the PIN that was lost.
TEST(CtlCutShort, AGarbledRecordIsNeverTakenForTheWholeList) {
  SimFixture sim;
  ASSERT_TRUE(sim.started);
  const std::string backup = sim.dir.File("cart.txt");
  ASSERT_EQ(Ctl(sim, {"backup", backup}).exitCode, 0);
  sim.sim.faults.garbleDumpRecord = 1;  // PIN 1234 in the PIN list
  const std::string garbled =
      "Line 1 of the cart's list could not be read, so the list is incomplete. Read it again.";
  for (const Command& command : std::vector<Command>{{"pins", "list"},
                                                     {"pins", "export", sim.dir.File("pins.txt")},
                                                     {"backup", sim.dir.File("again.txt")},
                                                     {"restore", "--dry-run", backup},
                                                     {"log", "list"}}) {
    const CtlRun run = Ctl(sim, command);
    EXPECT_EQ(run.exitCode, 1) << Shown(command) << run.out;
    EXPECT_NE(run.err.find(garbled), std::string::npos) << Shown(command) << run.err;
    EXPECT_EQ(run.out.find("PIN 1234"), std::string::npos) << Shown(command) << run.out;
  }
  EXPECT_FALSE(std::filesystem::exists(sim.dir.File("pins.txt")));
  EXPECT_FALSE(std::filesystem::exists(sim.dir.File("again.txt")));
}

}  // namespace
