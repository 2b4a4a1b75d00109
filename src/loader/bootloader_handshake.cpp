#include "loader/bootloader_handshake.h"

#include "app/reply_refusal.h"
#include "loader/port_wait.h"

namespace molvane {
namespace {

constexpr int kPollMs = 100;      // longest wait for the next byte
constexpr int kAfterByteMs = 5;   // pause after each byte read while waiting
constexpr int kBetweenUsMs = 10;  // pause between purged 'U's
constexpr std::size_t kHeardBytes = 32;

}  // namespace

BoardWait WaitForBootloaderU(SerialPort& port, const Deadline& deadline, std::string& refusal) {
  std::string heard;  // the last bytes the cart said meanwhile, enough to hold a refusal
  while (!deadline.Over()) {
    const PortIo waiting = port.BytesWaiting();
    if (!waiting) return BoardWait::LineClosed;
    if (waiting.bytes == 0) {
      if (port.WaitReadable(deadline.StepMs(kPollMs)).status == PortIo::Status::Interrupted)
        return BoardWait::Stopped;
      continue;
    }
    const int byte = ReadByte(port);
    if (byte == kHandshakeByte) {
      port.TraceLog("Got a 'U';");
      return BoardWait::Announced;
    }
    if (byte >= 0) heard += static_cast<char>(byte);
    if (heard.size() > kHeardBytes) heard.erase(0, heard.size() - kHeardBytes);
    refusal = RefusalText(heard);
    if (!refusal.empty()) return BoardWait::Refused;
    SleepMs(kAfterByteMs);
  }
  return deadline.Stopped() ? BoardWait::Stopped : BoardWait::Silent;
}

bool PurgeUs(SerialPort& port, const Deadline& deadline, std::uint8_t& carried) {
  carried = kHandshakeByte;
  while (port.BytesWaiting().bytes > 0) {
    if (deadline.Over()) return false;
    const int byte = ReadByte(port);
    if (byte < 0) break;
    carried = static_cast<std::uint8_t>(byte);
    if (carried != kHandshakeByte) break;
    SleepMs(kBetweenUsMs);
  }
  return true;
}

PortIo WriteRestartBytes(SerialPort& port) {
  if (PortIo sent = WriteByte(port, kRestartByte); !sent) return sent;
  return WriteByte(port, kRestartByte);
}

}  // namespace molvane
