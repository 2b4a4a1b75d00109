// A session recorded against the simulated cart, played back from its traffic traces: the same
// molvanectl commands print the same output.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/ctl_process.h"
#include "support/temp_dir.h"

namespace {

using cli_testing::CartsimProcess;
using cli_testing::CtlRun;
using cli_testing::RunCtl;
using testing_support::TempDir;

const std::vector<std::vector<std::string>> kSession = {
    {"info"}, {"pins", "list"}, {"log", "list"}, {"rfid", "get"}, {"send", "get_cycle_count"}};

// Runs each command of the session in a folder of its own, so each leaves its own trace.
std::vector<CtlRun> RunSession(const CartsimProcess& cart, const std::string& root,
                               std::vector<std::string>* traces = nullptr) {
  std::vector<CtlRun> runs;
  for (std::size_t i = 0; i < kSession.size(); ++i) {
    const std::string folder = root + "/run" + std::to_string(i);
    std::filesystem::create_directories(folder);
    std::vector<std::string> arguments = {"--port", cart.DevicePath()};
    arguments.insert(arguments.end(), kSession[i].begin(), kSession[i].end());
    runs.push_back(RunCtl(arguments, folder));
    if (traces) traces->push_back(folder + "/comlog.txt");
  }
  return runs;
}

TEST(Replay, RecordedSessionPlaysBackToTheSameOutput) {
  TempDir dir;
  std::vector<std::string> traces;
  std::vector<CtlRun> recorded;
  {
    CartsimProcess cart({}, dir.Path());
    ASSERT_TRUE(cart.Started());
    recorded = RunSession(cart, dir.File("recorded"), &traces);
  }
  std::vector<std::string> options;
  for (const std::string& trace : traces) options.insert(options.end(), {"--replay", trace});
  CartsimProcess replay(options, dir.Path());
  ASSERT_TRUE(replay.Started());
  const std::vector<CtlRun> played = RunSession(replay, dir.File("played"));

  ASSERT_EQ(played.size(), recorded.size());
  for (std::size_t i = 0; i < recorded.size(); ++i) {
    ASSERT_EQ(recorded[i].exitCode, 0) << kSession[i][0] << ": " << recorded[i].err;
    EXPECT_FALSE(recorded[i].out.empty()) << kSession[i][0];
    EXPECT_EQ(played[i].exitCode, 0) << kSession[i][0] << ": " << played[i].err;
    EXPECT_EQ(played[i].out, recorded[i].out) << kSession[i][0];
  }
  // A command the trace never saw is one the played cart does not know.
  const CtlRun unknown =
      RunCtl({"--port", replay.DevicePath(), "send", "lift_up"}, dir.File("played"));
  EXPECT_NE(unknown.out.find("unknown cmd"), std::string::npos) << unknown.out;
}

// A FIFO named as the trace is refused at once instead of holding the simulator before its link.
TEST(Replay, ATraceThatIsNoFileIsRefused) {
  TempDir dir;
  const std::string fifo = dir.File("comlog.txt");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const CtlRun run = cli_testing::RunCtlAt(MOLVANE_CARTSIM_PATH, {"--replay", fifo}, dir.Path());
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err, "cartsim: the trace " + fifo + " is not a file\n");
}

}  // namespace
