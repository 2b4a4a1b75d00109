#include "loader/port_wait.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace molvane {
namespace {

constexpr int kPartialPauseMs = 2;  // some bytes are there but not enough: let more come

}  // namespace

void SleepMs(int ms) {
  if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

bool Pause(const Deadline& deadline) {
  while (!deadline.Over()) SleepMs(deadline.StepMs(Deadline::kStopPollMs));
  return !deadline.Stopped();
}

WaitResult WaitForBytes(SerialPort& port, int count, const Deadline& deadline) {
  for (;;) {
    if (deadline.Stopped()) return WaitResult::Stopped;
    const PortIo waiting = port.BytesWaiting();
    if (!waiting) return WaitResult::PortError;
    if (waiting.bytes >= count) return WaitResult::Ready;
    if (deadline.Expired()) return WaitResult::Timeout;
    if (waiting.bytes > 0) {
      SleepMs(deadline.StepMs(kPartialPauseMs));
    } else if (port.WaitReadable(deadline.StepMs(deadline.RemainingMs())).status ==
               PortIo::Status::Interrupted) {
      return WaitResult::Stopped;
    }
  }
}

int ReadByte(SerialPort& port) {
  std::uint8_t byte = 0;
  return port.Read(&byte, 1).bytes == 1 ? byte : -1;
}

PortIo WriteByte(SerialPort& port, std::uint8_t byte, TraceWrite traceWrite) {
  return port.Write(&byte, 1, traceWrite);
}

}  // namespace molvane
