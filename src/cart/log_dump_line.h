#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "app/cart_data.h"

namespace molvane {

// The eight numbers of a log dump record: PIN, event code, second, minute, hour, day, month,
// year minus 2000. A short line supplies only its first fields; the others keep what the line
// before gave them, so one record lives across the whole dump. Before the first line all are 0.
struct LogRecord {
  static constexpr int kFieldCount = 8;
  std::uint64_t fields[kFieldCount] = {};
};

inline constexpr std::uint64_t kEventAccess = 1;
inline constexpr std::uint64_t kEventFactoryReset = 2;
inline constexpr std::uint64_t kEventPowerUp = 165;

// Reads the numbers of one dump line over the record.
void ApplyLogDumpLine(std::string_view line, LogRecord& record);

// "accessed pin: %u", "factory reset", "powerup" or "invalid event".
std::string ActionText(const LogRecord& record);

LogEntry MakeLogEntry(const LogRecord& record);

}  // namespace molvane
