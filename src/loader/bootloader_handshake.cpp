#include "loader/bootloader_handshake.h"

#include "loader/port_wait.h"

namespace molvane {
namespace {

constexpr int kPollMs = 100;      // longest wait for the next byte
constexpr int kAfterByteMs = 5;   // pause after each byte read while waiting
constexpr int kBetweenUsMs = 10;  // pause between purged 'U's

}  // namespace

bool WaitForBootloaderU(SerialPort& port, const Deadline& deadline) {
  while (!deadline.Over()) {
    const int waiting = port.BytesWaiting();
    if (waiting > 0) {
      if (ReadByte(port) == kHandshakeByte) {
        port.TraceLog("Got a 'U';");
        return true;
      }
      SleepMs(kAfterByteMs);
    } else if (waiting < 0) {
      SleepMs(deadline.StepMs(kPollMs));  // a failed port never wakes us; the budget still runs out
    } else {
      port.WaitReadable(deadline.StepMs(kPollMs));
    }
  }
  return false;
}

bool PurgeUs(SerialPort& port, const Deadline& deadline, std::uint8_t& carried) {
  carried = kHandshakeByte;
  while (port.BytesWaiting() > 0) {
    if (deadline.Over()) return false;
    const int byte = ReadByte(port);
    if (byte < 0) break;
    carried = static_cast<std::uint8_t>(byte);
    if (carried != kHandshakeByte) break;
    SleepMs(kBetweenUsMs);
  }
  return true;
}

void WriteRestartBytes(SerialPort& port) {
  WriteByte(port, kRestartByte);
  WriteByte(port, kRestartByte);
}

}  // namespace molvane
