#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "app/cart_data.h"

namespace molvane {

// The eight numbers of a log dump record: PIN, event code, second, minute, hour, day, month,
// year minus 2000.
struct LogRecord {
  static constexpr int kFieldCount = 8;
  std::uint64_t fields[kFieldCount] = {};
};

inline constexpr std::uint64_t kEventAccess = 1;
inline constexpr std::uint64_t kEventFactoryReset = 2;
inline constexpr std::uint64_t kEventPowerUp = 165;

// One line of the log dump: exactly the eight numbers, separated by blanks. False for anything
// else (a number more or less, a garbled byte): no event is made up from another line's fields;
// `record` is then unchanged.
bool ParseLogDumpLine(std::string_view line, LogRecord& record);

// "accessed pin: %u", "factory reset", "powerup" or "invalid event".
std::string ActionText(const LogRecord& record);

LogEntry MakeLogEntry(const LogRecord& record);

}  // namespace molvane
