// A cart that refuses every command but "status": each molvanectl command that sends one must
// fail with the refusal's own words, never print a refused answer as a value, a PIN or an event.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli/ctl_process.h"
#include "support/intel_hex.h"
#include "support/sim_fixture.h"

namespace {

using cli_testing::CtlRun;
using cli_testing::RunCtl;
using Refusal = cartsim::SimFaults::Refusal;
using testing_support::SimFixture;
using testing_support::WriteFile;

using Command = std::vector<std::string>;

// Every command of molvanectl that talks to the cart, with arguments it accepts.
std::vector<Command> CartCommands(const testing_support::TempDir& dir) {
  WriteFile(dir.File("pins.txt"), "1234\r\n");
  return {{"info"},
          {"set-timeouts", "10", "20", "30"},
          {"set-locks", "100", "100"},
          {"set-cart-type", "motor"},
          {"set-serial", "S-1"},
          {"set-name", "Ward 7"},
          {"pins", "list"},
          {"pins", "add", "1234"},
          {"pins", "remove", "1234"},
          {"pins", "clear"},
          {"pins", "import", dir.File("pins.txt")},
          {"pins", "export", dir.File("out.txt")},
          {"log", "list"},
          {"log", "export", dir.File("log.txt")},
          {"log", "clear"},
          {"rfid", "get"},
          {"rfid", "set", "4", "PBB0", "12"},
          {"pin-digits", "get"},
          {"pin-digits", "set", "6"},
          {"clock", "set"},
          {"gas-gauge", "reset"},
          {"lock"},
          {"unlock"},
          {"lamp", "toggle"},
          {"cycles", "get"},
          {"cycles", "reset"},
          {"calib"},
          {"sensors", "run"},
          {"sensors", "status"},
          {"lift", "up"},
          {"lift", "brake"},
          {"lift", "lock", "on"},
          {"lift", "auto", "off"},
          {"lift", "limits"},
          {"lift", "limits", "--up", "5"},
          {"lockbits"},
          {"drawers"},
          {"drawers", "4/1111"},
          {"send", "lockbits"},
          {"flash", "main", dir.File("main.hex")}};
}

std::string Shown(const Command& command) {
  std::string text;
  for (const std::string& word : command) text += word + " ";
  return text;
}

void ExpectEveryCommandFails(Refusal refusal, const std::string& text) {
  SimFixture sim;
  ASSERT_TRUE(sim.started);
  WriteFile(sim.dir.File("main.hex"), testing_support::HexFile(testing_support::PagePattern(64)));
  sim.sim.faults.refuseCommands = refusal;
  const auto ctl = [&](Command arguments) {
    arguments.insert(arguments.begin(), {"--port", sim.link.DevicePath()});
    return RunCtl(arguments, sim.dir.Path());
  };
  for (const Command& command : CartCommands(sim.dir)) {
    const CtlRun run = ctl(command);
    EXPECT_EQ(run.exitCode, 1) << Shown(command) << run.out;
    EXPECT_NE(run.err.find(text), std::string::npos) << Shown(command) << run.err;
    EXPECT_EQ(run.out.find("invalid event"), std::string::npos) << Shown(command) << run.out;
  }
  for (const Command& command :
       std::vector<Command>{{"info"}, {"pins", "list"}, {"log", "list"}, {"calib"}}) {
    Command json = command;
    json.insert(json.begin(), "--json");
    const CtlRun run = ctl(json);
    EXPECT_EQ(run.exitCode, 1) << Shown(command);
    const auto document = nlohmann::json::parse(run.out, nullptr, false);
    ASSERT_TRUE(document.contains("error")) << Shown(command) << run.out;
    EXPECT_NE(document["error"].get<std::string>().find(text), std::string::npos) << run.out;
  }
}

TEST(CtlRefusals, EveryCommandAnsweredWithErrorFails) {
  ExpectEveryCommandFails(Refusal::Error, "Error: Unknown.");
}

TEST(CtlRefusals, EveryCommandAnsweredAsUnknownFails) {
  ExpectEveryCommandFails(Refusal::UnknownCommand, "Unknown Command.");
}

// The display's lines are refused as well: the upload names the first and fails, after the
// bounded resends.
TEST(CtlRefusals, ARefusedDisplayLineEndsTheUploadNamingIt) {
  SimFixture sim;
  ASSERT_TRUE(sim.started);
  sim.sim.faults.refuseCommands = Refusal::Error;
  WriteFile(sim.dir.File("lines.txt"), "ew 0 0102\r\new 2 0304\r\n");
  for (const char* command : {"bitmap", "title"}) {
    const CtlRun run = RunCtl({"--port", sim.link.DevicePath(), command, sim.dir.File("lines.txt")},
                              sim.dir.Path());
    EXPECT_EQ(run.exitCode, 1) << command;
    EXPECT_NE(run.err.find("The display refused line 1 (ew 0 0102): Error: Unknown. Bitmap Update "
                           "Aborted."),
              std::string::npos)
        << command << ": " << run.err;
    EXPECT_EQ(run.out.find("Complete"), std::string::npos) << command << ": " << run.out;
  }
}

}  // namespace
