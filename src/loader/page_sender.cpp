#include "loader/page_sender.h"

#include <cstdint>

#include "app/timing.h"
#include "app/transfer_session.h"
#include "loader/bootloader_handshake.h"
#include "loader/bootloader_header.h"
#include "loader/firmware_image.h"
#include "loader/port_wait.h"

namespace molvane {
namespace {

constexpr int kTriesPerPage = 5;
constexpr int kBeforeFirstPageMs = 100;
constexpr int kBeforeAddressMs = 5;
constexpr int kAfterAddressMs = 1;

// Bytes past the end of the image (a last page reaching beyond 64 KiB) go out as erased flash.
std::uint8_t ImageByte(const FirmwareImage& image, long address) {
  return address < FirmwareImage::kSize ? image.bytes[address] : 0xFF;
}

// Ends at the first byte the port refuses: the rest of the page would not reach the board either.
// The data bytes stay out of the trace, which shows the page by its address and its sum: a line
// for each of them would bury the cart's traffic under thousands of one-byte lines per update.
PortIo WritePage(SerialPort& port, const FirmwareImage& image, int page) {
  int field = PageAddressField(page, image.pageSize);
  SleepMs(kBeforeAddressMs);
  if (PortIo sent = WriteByte(port, static_cast<std::uint8_t>((field >> 8) & 0xFF)); !sent)
    return sent;
  if (PortIo sent = WriteByte(port, static_cast<std::uint8_t>(field & 0xFF)); !sent) return sent;
  SleepMs(kAfterAddressMs);
  unsigned sum = 0;
  const long first = static_cast<long>(page) * image.pageSize;
  for (int i = 0; i < image.pageSize; ++i) {
    std::uint8_t byte = ImageByte(image, first + i);
    if (PortIo sent = WriteByte(port, byte, TraceWrite::No); !sent) return sent;
    sum += byte;
    if (port.BytesWaiting().bytes > 0) ReadByte(port);
  }
  return WriteByte(port, static_cast<std::uint8_t>(sum & 0xFF));
}

PagesOutcome SendPage(TransferSession& session, const FirmwareImage& image, int page) {
  SerialPort& port = session.Port();
  for (int attempt = 0; attempt < kTriesPerPage; ++attempt) {
    if (!WritePage(port, image, page)) return PagesOutcome::PortError;
    const Deadline deadline(session.timing().pageAckTimeoutMs, &session.CancelFlag());
    WaitResult wait = WaitForBytes(port, 1, deadline);
    if (wait == WaitResult::Stopped) return PagesOutcome::Canceled;
    if (wait == WaitResult::Timeout) return PagesOutcome::NotAcknowledged;
    if (wait == WaitResult::PortError) return PagesOutcome::PortError;
    int answer = ReadByte(port);
    if (answer < 0) return PagesOutcome::PortError;
    if (answer == kAcknowledge) return PagesOutcome::Done;
  }
  return PagesOutcome::Refused;
}

}  // namespace

PagesOutcome SendPages(TransferSession& session, const FirmwareImage& image) {
  SleepMs(kBeforeFirstPageMs);
  const int pageCount = image.pageCount;
  for (int page = 0; page <= pageCount; ++page) {
    // A full image is followed by one erased page that starts past 64 KiB. Its 16-bit address
    // would wrap to 0 at 512-byte pages and erase page 0, so it is never sent: there is no flash
    // behind it to erase.
    if (static_cast<long>(page) * image.pageSize >= FirmwareImage::kSize) break;
    if (session.Cancelled()) return PagesOutcome::Canceled;
    std::string progress = WritingText(ProgressPercent(page, pageCount));
    session.Port().TraceLog("%s", progress.c_str());
    session.SetStatus(progress);
    session.SetProgress(page, pageCount + 1);
    PagesOutcome outcome = SendPage(session, image, page);
    if (outcome != PagesOutcome::Done) return outcome;
  }
  return PagesOutcome::Done;
}

}  // namespace molvane
