#pragma once
#include <array>
#include <cstdint>
#include <string>

namespace molvane {

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

}  // namespace molvane
