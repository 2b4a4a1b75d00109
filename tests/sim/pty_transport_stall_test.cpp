// The simulated link must not wedge when the host stops reading in the middle of a long answer.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <thread>

#include "sim/pty_transport.h"
#include "sim/sim_cart.h"

namespace {

using Clock = std::chrono::steady_clock;

// Opens the device, asks for a long answer and never reads it.
int AskAndStopReading(const std::string& device) {
  const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (fd >= 0) {
    EXPECT_EQ(::write(fd, "status\r", 7), 7);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  return fd;
}

}  // namespace

TEST(PtyTransportStall, ReplugAndStopEndAnAnswerNobodyReads) {
  cartsim::SimCart cart;
  cart.faults.longAnswerBytes = 1 << 20;  // far more than a pseudo-terminal buffers
  auto link = std::make_unique<cartsim::PtyTransport>(cart, cartsim::PtyTransport::Options{});
  ASSERT_TRUE(link->Start());
  const std::string first = link->DevicePath();
  const int host = AskAndStopReading(first);
  ASSERT_GE(host, 0);

  const auto started = Clock::now();
  ASSERT_TRUE(link->Replug());
  EXPECT_NE(link->DevicePath(), first) << "the replug was not served";
  cart.faults.longAnswerBytes = 1 << 20;
  const int second = AskAndStopReading(link->DevicePath());
  ASSERT_GE(second, 0);
  link.reset();  // stops while the answer is stuck
  EXPECT_LT(Clock::now() - started, std::chrono::seconds(5));
  ::close(host);
  ::close(second);
}
