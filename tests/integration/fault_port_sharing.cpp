// The cable comes and goes under the port scanner; a second program reaches for the same port.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>

#include "cart/board.h"
#include "cart/cart_identity.h"
#include "fault_checks.h"
#include "loader/firmware_update.h"
#include "support/controller_settings.h"
#include "support/raw_pty.h"

using fault_checks::Eventually;
using fault_checks::NothingSpins;

namespace {

constexpr int kImageBytes = 2000;

std::string WriteImage(testing_support::SimFixture& fx) {
  fx.controller.SetBootlogFolder(fx.dir.Path());
  const std::string hex = fx.dir.File("main.hex");
  testing_support::WriteFile(hex, fault_checks::HexText(kImageBytes));
  return hex;
}

// Starts the main board's update of the image.
molvane::Outcome StartUpdate(testing_support::SimFixture& fx) {
  return molvane::StartFirmwareUpdate(fx.controller, WriteImage(fx), *molvane::FindBoard("main"));
}

void ExpectImageFlashed(testing_support::SimFixture& fx) {
  EXPECT_TRUE(fx.controller.TransferOutcome());
  EXPECT_EQ(fx.controller.TransferOutcome().text, "Firmware Update Complete");
  fx.sim.Inspect([](cartsim::SimCart& s) {
    const auto& flash = s.BoardModel(cartsim::Board::Main).Flash();
    for (int a = 0; a < kImageBytes; ++a) ASSERT_EQ(flash[a], fault_checks::PatternByte(a)) << a;
  });
}

int CommandsSeen(testing_support::SimFixture& fx) {
  return fx.sim.Inspect([](cartsim::SimCart& s) { return s.CommandsSeen(); });
}

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
  testing_support::SetDiscovery(controller, &molvane::DiscoverySource::sysfsRoot, "/nonexistent");
  testing_support::SetDiscovery(controller, &molvane::DiscoverySource::useEnvironment, false);
  testing_support::SetDiscovery(controller, &molvane::DiscoverySource::extraPorts, linkPath);
  testing_support::SetTiming(controller, &molvane::Timing::scanIntervalMs, 100);
  controller.StartScanThread();
  ASSERT_TRUE(Eventually([&] { return controller.CartCount() == 1; }));

  // The window's connection check keeps asking for the status while the scanner runs.
  link.HangUp();
  EXPECT_TRUE(Eventually([&] {
    (void)controller.GetStatus();  // only the time-out counts here
    return controller.CartCount() == 0;
  })) << "the lost cart is noticed";
  EXPECT_TRUE(NothingSpins()) << "scanning an absent cart stays idle between passes";
  ASSERT_TRUE(link.Replug());
  EXPECT_TRUE(Eventually([&] { return controller.CartCount() == 1; })) << "the cart is found again";
  EXPECT_EQ(controller.GetStatus().value, "00");
  controller.StopScanThread();
}

TEST(FaultPorts, SecondProgramIsRefusedAndTheFirstIsUndisturbed) {
  testing_support::SimFixture fx;
  ASSERT_TRUE(fx.Connect());
  const auto [output, status] =
      RunProgram(std::string(MOLVANE_CTL_PATH) + " --port " + fx.link.DevicePath() + " status");
  EXPECT_NE(status, 0);
  EXPECT_NE(output.find("busy"), std::string::npos) << output;
  const int seen = fx.sim.Inspect([](cartsim::SimCart& s) { return s.CommandsSeen(); });
  EXPECT_EQ(fx.controller.GetStatus().value, "00");
  EXPECT_EQ(fx.sim.Inspect([](cartsim::SimCart& s) { return s.CommandsSeen(); }), seen + 1)
      << "the refused program sent nothing";
  EXPECT_NE(fx.Trace().find("OPEN: " + fx.link.DevicePath()), std::string::npos);
}

// With no cart known, a transfer opens every listed port. A scan pass that is probing a port
// which does not answer keeps it until its time-out; the transfer takes the ports only then.
TEST(FaultPorts, ATransferStartedDuringAProbeWaitsForTheProbe) {
  testing_support::SimFixture fx;
  testing_support::ScriptedCart silent([](const std::string&) { return std::string(); });
  ASSERT_TRUE(fx.started);
  molvane::CartController& controller = fx.controller;
  testing_support::SetDiscovery(controller, &molvane::DiscoverySource::sysfsRoot, "/nonexistent");
  testing_support::SetDiscovery(controller, &molvane::DiscoverySource::useEnvironment, false);
  testing_support::SetDiscovery(controller, &molvane::DiscoverySource::extraPorts,
                                silent.DevicePath() + ":" + fx.link.DevicePath());
  controller.StartScanThread();
  ASSERT_TRUE(Eventually([&] { return !silent.Lines().empty(); })) << "the probe is in flight";

  ASSERT_TRUE(StartUpdate(fx));
  controller.WaitForTransfer();
  controller.StopScanThread();
  ExpectImageFlashed(fx);
  // The transfer's opening of the cart's port is the last of all, and nothing of the probe may
  // follow it.
  const std::string trace = fx.Trace();
  const std::size_t transfer = trace.rfind("OPEN: " + fx.link.DevicePath());
  ASSERT_NE(transfer, std::string::npos) << trace.substr(0, 200);
  EXPECT_EQ(trace.find("OPEN: ", transfer + 1), std::string::npos) << trace.substr(transfer, 200);
  EXPECT_EQ(trace.find("RX: Timeout", transfer), std::string::npos)
      << "the probe ended inside the transfer";
}

// A page polling the cart while a firmware update runs (the Setup page asks for the cart's name
// every two seconds) must not put a byte into the bootloader's stream.
TEST(FaultPorts, PageCommandsDuringAPacedFlashAreRefusedAndTheImageStaysExact) {
  testing_support::SimFixture fx({}, true);
  ASSERT_TRUE(fx.Connect());
  const int seen = CommandsSeen(fx);
  ASSERT_TRUE(StartUpdate(fx));
  int refused = 0;
  while (fx.controller.IsBusy()) {
    const molvane::Result<std::string> name = molvane::GetCartName(fx.controller);
    if (!fx.controller.IsBusy()) break;
    EXPECT_FALSE(name);
    EXPECT_EQ(name.value, "");
    EXPECT_EQ(name.outcome.text, "A transfer is already running.");
    ++refused;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  fx.controller.WaitForTransfer();
  EXPECT_GT(refused, 10);
  ExpectImageFlashed(fx);
  EXPECT_EQ(CommandsSeen(fx), seen + 1) << "only the transfer's own \"bootload\" reached the cart";
}
