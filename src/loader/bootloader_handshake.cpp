#include "loader/bootloader_handshake.h"

#include <algorithm>
#include <chrono>

#include "loader/port_wait.h"

namespace molvane {
namespace {

constexpr int kPollMs = 100;      // longest wait for the next byte
constexpr int kAfterByteMs = 5;   // pause after each byte read while waiting
constexpr int kBetweenUsMs = 10;  // pause between purged 'U's

}  // namespace

bool WaitForBootloaderU(SerialPort& port, int budgetMs) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(budgetMs);
  while (Clock::now() < deadline) {
    int waiting = port.BytesWaiting();
    if (waiting > 0) {
      if (ReadByte(port) == kHandshakeByte) {
        port.TraceLog("Got a 'U';");
        return true;
      }
      SleepMs(kAfterByteMs);
      continue;
    }
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    int step = static_cast<int>(std::clamp<std::int64_t>(left.count(), 0, kPollMs));
    if (waiting < 0) {
      SleepMs(step);  // a failed port never wakes us; the budget still runs out
    } else {
      port.WaitReadable(step);
    }
  }
  return false;
}

std::uint8_t PurgeUs(SerialPort& port) {
  std::uint8_t last = kHandshakeByte;
  while (port.BytesWaiting() > 0) {
    int byte = ReadByte(port);
    if (byte < 0) break;
    last = static_cast<std::uint8_t>(byte);
    if (last != kHandshakeByte) break;
    SleepMs(kBetweenUsMs);
  }
  return last;
}

void WriteRestartBytes(SerialPort& port) {
  WriteByte(port, kRestartByte);
  WriteByte(port, kRestartByte);
}

}  // namespace molvane
