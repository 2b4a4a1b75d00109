#include "loader/header_exchange.h"

#include <cstdio>
#include <string>

#include "app/timing.h"
#include "app/transfer_session.h"
#include "loader/bootloader_handshake.h"
#include "loader/bootloader_header.h"
#include "loader/bootlog.h"
#include "loader/hex_file.h"
#include "loader/loader_texts.h"
#include "loader/port_wait.h"

namespace molvane {
namespace {

constexpr int kHeaderWaitMs = 600;  // six polls of 100 ms for the first four bytes
constexpr int kAckPollMs = 20;

enum class AckResult { Received, Timeout, PortError, Stopped };

class HeaderAttempt {
 public:
  HeaderAttempt(SerialPort& port, Bootlog& log) : port(port), log(log) {}

  // Bootlog line, repeated in the traffic trace without its line end.
  void Note(const std::string& text) {
    log.Write(text);
    std::string line = text;
    if (!line.empty() && line.back() == '\n') line.pop_back();
    port.TraceLog("%s", line.c_str());
  }

  void NoteByte(const char* format, std::uint8_t byte) {
    char text[96];
    std::snprintf(text, sizeof text, format, byte);
    Note(text);
  }

  // A byte that has not arrived reads as 0, which no field accepts.
  std::uint8_t Take(bool (*accepted)(std::uint8_t), const char* complaint) {
    int byte = ReadByte(port);
    return Check(static_cast<std::uint8_t>(byte < 0 ? 0 : byte), accepted, complaint);
  }

  std::uint8_t Check(std::uint8_t value, bool (*accepted)(std::uint8_t), const char* complaint) {
    if (!accepted(value)) {
      NoteByte(complaint, value);
      ok = false;
    }
    return value;
  }

  BootloaderHeader Read(std::uint8_t carried, const std::atomic<int>& stop) {
    BootloaderHeader h;
    if (WaitForBytes(port, 4, Deadline(kHeaderWaitMs, &stop)) != WaitResult::Ready) {
      ok = false;
      Note("Not enough bytes returned in header.\n");
    }
    const char* badDevice = "Incorrect Device Number [%02x].\n";
    h.device =
        carried != 0 ? Check(carried, IsDeviceCode, badDevice) : Take(IsDeviceCode, badDevice);
    h.flashSize = Take(IsFlashSizeCode, "Incorrect Flash Memory size [%02x].\n");
    h.bootSize = Take(IsBootSizeCode, "Incorrect Boot size [%02x].\n");
    h.pageSize = Take([](std::uint8_t c) { return PageSizeFromCode(c) != 0; },
                      "PageSize unknown. [%02x].\n");
    h.eepromSize = Take(IsEepromSizeCode, "EEPROM size unknown. [%02x].\n");
    return h;
  }

  void NoteHeader(const BootloaderHeader& h, int pageBytes) {
    char text[160];
    std::snprintf(text, sizeof text,
                  "Hdr: device: %02x flash:%02x bootsize: %02x pageSize: %02x eepromsize: %02x\n",
                  h.device, h.flashSize, h.bootSize, pageBytes, h.eepromSize);
    Note(text);
  }

  // The last header byte counts: an EEPROM code of '!' would already be the acknowledgement.
  // The deadline is looked at before every byte, so a board that keeps sending other bytes
  // cannot hold the wait.
  AckResult WaitForAck(std::uint8_t last, const Deadline& deadline) {
    while (last != kAcknowledge) {
      if (deadline.Stopped()) return AckResult::Stopped;
      if (deadline.Expired()) return AckResult::Timeout;
      const PortIo waiting = port.BytesWaiting();
      if (!waiting) return AckResult::PortError;
      if (waiting.bytes == 0) {
        if (port.WaitReadable(deadline.StepMs(kAckPollMs)).status == PortIo::Status::Interrupted)
          return AckResult::Stopped;
        continue;
      }
      const int byte = ReadByte(port);
      if (byte < 0) return AckResult::PortError;
      last = static_cast<std::uint8_t>(byte);
    }
    return AckResult::Received;
  }

  bool ok = true;

 private:
  SerialPort& port;
  Bootlog& log;
};

}  // namespace

HeaderOutcome ReceiveHeader(TransferSession& session, FirmwareImage& image, std::uint8_t carried) {
  SerialPort& port = session.Port();
  Bootlog log(session.BootlogFolder());
  log.Start();
  for (int attempt = 0; attempt < session.timing().headerAttempts; ++attempt) {
    if (session.Cancelled()) return HeaderOutcome::Canceled;
    HeaderAttempt exchange(port, log);
    exchange.Note("\n\n");
    BootloaderHeader header = exchange.Read(carried, session.CancelFlag());
    if (int bytes = PageSizeFromCode(header.pageSize); bytes != 0) SetPageSize(image, bytes);
    exchange.NoteHeader(header, image.pageSize);
    const Deadline ackDeadline(session.timing().headerAckTimeoutMs, &session.CancelFlag());
    AckResult ack = exchange.WaitForAck(header.eepromSize, ackDeadline);
    if (ack == AckResult::Stopped) return HeaderOutcome::Canceled;
    if (ack == AckResult::Timeout) return HeaderOutcome::NotAcknowledged;
    if (ack == AckResult::PortError) {
      session.SetMessage(texts::kHeaderPortError);
      if (!port.BytesWaiting()) return HeaderOutcome::PortError;
      exchange.ok = false;
    }
    if (exchange.ok) return HeaderOutcome::Accepted;
    log.Write("Sending: 0xFF 0xFF to restart firmware update\n");
    if (!WriteRestartBytes(port)) return HeaderOutcome::PortError;
    carried = 0;
  }
  return HeaderOutcome::NoValidHeader;
}

}  // namespace molvane
