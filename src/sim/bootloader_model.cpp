#include "sim/bootloader_model.h"

#include <algorithm>
#include <utility>

namespace cartsim {
namespace {

constexpr int kFlashBytes = 65536;

// Where a page lands in flash, or -1 when the address field points outside it. With 512-byte
// pages the field is the byte address itself; with smaller pages it is the page number.
int FlashOffset(std::uint16_t addressField, int pageSize) {
  const int offset = pageSize == 512 ? addressField : addressField * pageSize;
  if (offset % pageSize != 0 || offset + pageSize > kFlashBytes) return -1;
  return offset;
}

int PageNumber(std::uint16_t addressField, int pageSize) {
  return pageSize == 512 ? addressField / 512 : addressField;
}

std::string_view OneByte(const std::uint8_t& byte) {
  return std::string_view(reinterpret_cast<const char*>(&byte), 1);
}

}  // namespace

BootloaderModel::BootloaderModel(std::string boardName, BootHeader header)
    : header(header), boardName(std::move(boardName)) {
  flash.fill(0xFF);
}

void BootloaderModel::Enter(std::chrono::steady_clock::time_point now) {
  state = State::Announcing;
  lastHello = now - kHelloInterval;  // the first tick announces at once
  endBytesWhileAnnouncing = 0;
  pagesSinceHeader = 0;
  pageFill = 0;
  hangUp = false;
}

// A board that keeps talking: its bytes come faster than a host that handles them one by one
// can take them, so there is always something waiting.
bool BootloaderModel::Floods() const {
  if (faults.floodHellos) return state == State::Announcing;
  return faults.floodAfterHeader && headersSent > 0 && pagesSinceHeader == 0 &&
         state == State::AddressHigh;
}

void BootloaderModel::Tick(std::chrono::steady_clock::time_point now, const Send& send) {
  if (Floods()) {
    std::string burst;
    while (burst.size() < kFloodBurst) {
      burst += faults.floodHellos ? std::string(1, static_cast<char>(kBootHello)) : NoiseAnswer();
    }
    send(burst);
    return;
  }
  if (state != State::Announcing || faults.neverSendU) return;
  if (now - lastHello < kHelloInterval) return;
  lastHello = now;
  ++hellosSent;
  send(OneByte(kBootHello));
}

void BootloaderModel::OnBytes(std::string_view bytes, const Send& send) {
  for (char byte : bytes) {
    if (!Active()) return;
    TakeByte(static_cast<std::uint8_t>(byte), send);
  }
}

void BootloaderModel::TakeByte(std::uint8_t byte, const Send& send) {
  switch (state) {
    case State::Off:
      return;
    case State::Announcing:
      TakeWhileAnnouncing(byte, send);
      return;
    case State::AddressHigh:
      addressField = static_cast<std::uint16_t>(byte << 8);
      state = State::AddressLow;
      return;
    case State::AddressLow:
      TakeAddressLow(byte, send);
      return;
    case State::Data:
      pageBuffer[static_cast<std::size_t>(pageFill++)] = byte;
      if (pageFill >= pageSize) state = State::Sum;
      return;
    case State::Sum:
      FinishPage(byte, send);
      return;
  }
}

void BootloaderModel::TakeWhileAnnouncing(std::uint8_t byte, const Send& send) {
  // The host gives up on a silent bootloader with 0xFF 0xFF; the board then runs its firmware.
  endBytesWhileAnnouncing = byte == kBootEnd ? endBytesWhileAnnouncing + 1 : 0;
  if (endBytesWhileAnnouncing >= 2) {
    state = State::Off;
    ++exits;
    return;
  }
  if (byte != kBootHello || faults.neverSendU || faults.floodHellos) return;
  SendHeader(send);
  state = State::AddressHigh;
}

void BootloaderModel::TakeAddressLow(std::uint8_t byte, const Send& send) {
  addressField = static_cast<std::uint16_t>(addressField | byte);
  if (addressField == 0xFFFF) {
    OnEndMarker(send);
    return;
  }
  if (faults.hangUpAtPage >= 0 && PageNumber(addressField, pageSize) == faults.hangUpAtPage) {
    faults.hangUpAtPage = -1;
    hangUp = true;
    state = State::Off;
    return;
  }
  StartPage();
}

void BootloaderModel::OnEndMarker(const Send& send) {
  // Before any page the marker means the host did not like the header: say it again.
  if (pagesSinceHeader == 0) {
    SendHeader(send);
    state = State::AddressHigh;
    return;
  }
  state = State::Off;
  ++exits;
}

void BootloaderModel::StartPage() {
  pageFill = 0;
  state = State::Data;
}

void BootloaderModel::FinishPage(std::uint8_t sumReceived, const Send& send) {
  std::uint8_t computed = 0;
  for (int i = 0; i < pageSize; ++i) computed = static_cast<std::uint8_t>(computed + pageBuffer[i]);
  PageRecord record{addressField, sumReceived, computed, false};
  record.accepted =
      sumReceived == computed && !Refuses(PageNumber(addressField, pageSize)) && StorePage();
  Record(record);
  ++pagesSinceHeader;
  state = State::AddressHigh;
  send(OneByte(record.accepted ? kBootAck : kBootNak));
}

bool BootloaderModel::Refuses(int pageNumber) {
  if (faults.refuseAll) return true;
  if (pageNumber != faults.refusePage || faults.refuseTimes <= 0) return false;
  --faults.refuseTimes;
  return true;
}

bool BootloaderModel::StorePage() {
  const int offset = FlashOffset(addressField, pageSize);
  const auto begin = pageBuffer.begin();
  const auto end = begin + pageSize;
  if (offset < 0) {
    // Nothing to program past the end of flash when the page is blank; anything else is refused.
    return std::all_of(begin, end, [](std::uint8_t b) { return b == 0xFF; });
  }
  std::copy(begin, end, flash.begin() + offset);
  ++pagesWritten;
  return true;
}

void BootloaderModel::SendHeader(const Send& send) {
  const int size = PageSizeFromCode(header.pageSize);
  pageSize = size > 0 ? size : 128;  // an unknown code still needs some frame length
  pagesSinceHeader = 0;
  ++headersSent;
  if (faults.noiseHeader) {
    send(NoiseAnswer());
    return;
  }
  BootHeader sent = header;
  if (faults.badHeaderOnce) {
    faults.badHeaderOnce = false;
    sent.device = kBadDevice;
  }
  const std::string answer = HeaderAnswer(sent);
  // A flooding board never gets to its acknowledgement.
  send(faults.floodAfterHeader ? answer.substr(0, answer.size() - 1) : answer);
}

void BootloaderModel::Record(const PageRecord& record) {
  if (pages.size() < kMaxPageRecords) pages.push_back(record);
}

}  // namespace cartsim
