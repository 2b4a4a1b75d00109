#pragma once
#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sim/boot_header.h"
#include "sim/sim_wire.h"

namespace cartsim {

// One page as the bootloader received it, kept so tests can see what crossed the wire.
struct PageRecord {
  std::uint16_t addressField = 0;  // the two address bytes, high first
  std::uint8_t sumReceived = 0;
  std::uint8_t sumComputed = 0;
  bool accepted = false;
};

// A board's bootloader as seen from the wire. It announces itself with 'U', answers the
// host's 'U' with its header, then takes pages until 0xFF 0xFF. Every byte from the host
// advances one position in the page frame, so any byte stream keeps it in a defined state.
class BootloaderModel {
 public:
  BootloaderModel(std::string boardName, BootHeader header);

  void Enter(std::chrono::steady_clock::time_point now);
  bool Active() const { return state != State::Off; }
  void OnBytes(std::string_view bytes, const Send& send);
  void Tick(std::chrono::steady_clock::time_point now, const Send& send);

  // A hang-up also ends the bootloader session, as a board resets when its link drops.
  bool WantsHangUp() const { return hangUp; }
  void ClearHangUp() { hangUp = false; }

  const std::array<std::uint8_t, 65536>& Flash() const { return flash; }
  const std::string& BoardName() const { return boardName; }
  int PagesWritten() const { return pagesWritten; }
  int HeadersSent() const { return headersSent; }
  int HellosSent() const { return hellosSent; }
  int Exits() const { return exits; }
  int PageSize() const { return pageSize; }
  const std::vector<PageRecord>& Pages() const { return pages; }

  static constexpr std::chrono::milliseconds kHelloInterval{150};
  static constexpr std::size_t kFloodBurst = 1024;  // bytes per tick of a flooding board
  static constexpr std::size_t kMaxPageRecords = 8192;

  BootHeader header;
  BootFaults faults;

 private:
  enum class State { Off, Announcing, AddressHigh, AddressLow, Data, Sum };

  bool Floods() const;
  void TakeByte(std::uint8_t byte, const Send& send);
  void TakeWhileAnnouncing(std::uint8_t byte, const Send& send);
  void TakeAddressLow(std::uint8_t byte, const Send& send);
  void OnEndMarker(const Send& send);
  void StartPage();
  void FinishPage(std::uint8_t sumReceived, const Send& send);
  bool Refuses(int pageNumber);
  bool StorePage();
  void SendHeader(const Send& send);
  void Record(const PageRecord& record);

  std::string boardName;
  State state = State::Off;
  std::chrono::steady_clock::time_point lastHello{};
  int endBytesWhileAnnouncing = 0;
  int pageSize = 128;
  int pagesSinceHeader = 0;
  std::uint16_t addressField = 0;
  std::array<std::uint8_t, 512> pageBuffer{};
  int pageFill = 0;
  std::array<std::uint8_t, 65536> flash{};
  std::vector<PageRecord> pages;
  int pagesWritten = 0;
  int headersSent = 0;
  int hellosSent = 0;
  int exits = 0;
  bool hangUp = false;
};

}  // namespace cartsim
