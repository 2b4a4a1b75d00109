#pragma once
#include <array>
#include <cstdint>
#include <string>

namespace molvane {

// The copies of the cart's data that the controller holds. Fixed tables: an item past the end
// is refused by whoever fills them, never written past it.

struct PinEntry {
  std::uint32_t pin = 0;
  std::int64_t activationTime = 0;  // seconds since 1970, UTC
};

// The controller's copy of the cart's PIN list.
struct PinList {
  static constexpr int kMaxPins = 128;
  std::array<PinEntry, kMaxPins> entries{};
  int count = 0;
  int oldestIndex = 0;  // -1 when the last dump found no PIN with an age of 0 or more
};

struct LogEntry {
  std::int64_t eventTime = 0;  // seconds since 1970, UTC
  std::string action;
};

// The controller's copy of the cart's event log.
struct EventLog {
  static constexpr int kMaxEvents = 1024;
  std::array<LogEntry, kMaxEvents> entries{};
  int count = 0;
};

// The 64 KiB flash image that the bootloader update sends page by page.
struct FirmwareImage {
  static constexpr int kSize = 65536;
  std::array<std::uint8_t, kSize> bytes{};
  int endAddress = 0;  // one past the highest address any data record wrote
  int pageSize = 0;    // from the bootloader header
  int pageCount = 0;   // endAddress / pageSize; pages 0..pageCount inclusive are sent
};

}  // namespace molvane
