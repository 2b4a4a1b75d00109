#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "support/controller_fixture.h"
#include "support/raw_pty.h"

using testing_support::ConnectedController;

namespace {

// The window closing raises the controller's interrupt while the cart thread waits on a silent
// cart: the reply read ends as cancelled, without the cart's time-out, and a silent cart is not
// what it concludes, so the port stays the cart's. So does the next command's pause.
TEST(InterruptWaits, AReplyReadOnASilentCartEndsWithoutATimeOut) {
  ConnectedController c([](const std::string&) { return std::string(); });
  auto& ctl = c.controller;
  ASSERT_TRUE(ctl.SendCommand("status"));
  std::thread stopper([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    ctl.InterruptWaits(true);
  });
  const molvane::Result<std::string> line = ctl.ReadReply();
  stopper.join();
  EXPECT_EQ(line.outcome.text, "Cancelled.");
  EXPECT_EQ(line.value, "");
  EXPECT_EQ(ctl.CurrentPort(), 0);
  EXPECT_FALSE(ctl.Pause(60000)) << "a pause ends at once";
  EXPECT_NE(c.Trace().find("Log: Line read interrupted\n"), std::string::npos) << c.Trace();
}

// The scanner's ports get the flag too: with it raised, a probe gives up before it sends.
TEST(InterruptWaits, AProbedPortIsNoCartAndIsSentNothing) {
  testing_support::TempDir dir;
  testing_support::RawPty device;
  ASSERT_TRUE(device.Ok());
  molvane::CartController ctl(dir.Path(), dir.Path());
  ctl.InterruptWaits(true);
  EXPECT_EQ(ctl.ConnectPort(device.DevicePath()), molvane::CartController::ProbeResult::NoCart);
  EXPECT_FALSE(ctl.IsPortOpen(0));
  EXPECT_EQ(device.ReadAvailable(), "");

  ctl.InterruptWaits(false);
  EXPECT_EQ(ctl.ConnectPort(device.DevicePath()), molvane::CartController::ProbeResult::NoCart);
  EXPECT_EQ(device.ReadAvailable(), "status\r\n") << "lowered, the probe goes out again";
}

}  // namespace
