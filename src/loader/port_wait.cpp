#include "loader/port_wait.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace molvane {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kPartialPauseMs = 2;  // some bytes are there but not enough: let more come

int RemainingMs(Clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return static_cast<int>(std::max<std::int64_t>(left.count(), 0));
}

}  // namespace

void SleepMs(int ms) {
  if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

WaitResult WaitForBytes(SerialPort& port, int count, int timeoutMs) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    int waiting = port.BytesWaiting();
    if (waiting < 0) return WaitResult::PortError;
    if (waiting >= count) return WaitResult::Ready;
    int left = RemainingMs(deadline);
    if (left == 0) return WaitResult::Timeout;
    if (waiting > 0) {
      SleepMs(std::min(left, kPartialPauseMs));
    } else {
      port.WaitReadable(left);
    }
  }
}

int ReadByte(SerialPort& port) {
  std::uint8_t byte = 0;
  return port.Read(&byte, 1) == 1 ? byte : -1;
}

void WriteByte(SerialPort& port, std::uint8_t byte) { port.Write(&byte, 1); }

}  // namespace molvane
