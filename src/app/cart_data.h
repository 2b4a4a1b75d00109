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

// What the cart's "version" answer reports: four firmware and two hardware version lines, and
// which third board it has (0 translation, 1 charger, 2 neither named).
struct CartVersions {
  std::array<std::string, 4> firmware;
  std::array<std::string, 2> hardware;
  std::uint8_t auxBoardKind = 0;
};

}  // namespace molvane
