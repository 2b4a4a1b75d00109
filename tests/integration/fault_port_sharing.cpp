// The cable comes and goes under the port scanner; a second program reaches for the same port.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>

#include "fault_checks.h"

using fault_checks::Eventually;
using fault_checks::NothingSpins;

namespace {

// Output and exit status of a shell command.
std::pair<std::string, int> RunProgram(const std::string& command) {
  std::pair<std::string, int> result{{}, -1};
  std::FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return result;
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) result.first += buffer;
  const int status = ::pclose(pipe);
  result.second = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

}  // namespace

TEST(FaultPorts, UnplugAndReplugWhileTheScannerRuns) {
  testing_support::TempDir dir;
  cartsim::SimCart sim;
  const std::string linkPath = dir.File("cart");
  cartsim::PtyTransport link(sim, cartsim::PtyTransport::Options{false, linkPath});
  ASSERT_TRUE(link.Start());
  molvane::CartController controller(dir.Path(), dir.Path());
  controller.discovery.sysfsRoot = "/nonexistent";
  controller.discovery.useEnvironment = false;
  controller.discovery.extraPorts = linkPath;
  controller.timing.scanIntervalMs = 100;
  controller.StartScanThread();
  ASSERT_TRUE(Eventually([&] { return controller.CartCount() == 1; }));

  // The window's connection check keeps asking for the status while the scanner runs.
  link.HangUp();
  EXPECT_TRUE(Eventually([&] {
    controller.GetStatus();
    return controller.CartCount() == 0;
  })) << "the lost cart is noticed";
  EXPECT_TRUE(NothingSpins()) << "scanning an absent cart stays idle between passes";
  ASSERT_TRUE(link.Replug());
  EXPECT_TRUE(Eventually([&] { return controller.CartCount() == 1; })) << "the cart is found again";
  EXPECT_EQ(controller.GetStatus(), "00");
  controller.StopScanThread();
}

TEST(FaultPorts, SecondProgramIsRefusedAndTheFirstIsUndisturbed) {
  testing_support::SimFixture fx;
  ASSERT_TRUE(fx.Connect());
  const auto [output, status] = RunProgram(std::string(MOLVANE_CTL_PATH) + " --port " + fx.link.DevicePath() + " status");
  EXPECT_NE(status, 0);
  EXPECT_NE(output.find("busy"), std::string::npos) << output;
  const int seen = fx.sim.Inspect([](cartsim::SimCart& s) { return s.CommandsSeen(); });
  EXPECT_EQ(fx.controller.GetStatus(), "00");
  EXPECT_EQ(fx.sim.Inspect([](cartsim::SimCart& s) { return s.CommandsSeen(); }), seen + 1)
      << "the refused program sent nothing";
  EXPECT_NE(fx.Trace().find("OPEN: " + fx.link.DevicePath()), std::string::npos);
}
