#include "cart/log_dump_line.h"

#include "base/cart_time.h"
#include "base/number_text.h"

namespace molvane {

bool ParseLogDumpLine(std::string_view line, LogRecord& record) {
  LogRecord read;
  if (!ScanExactUnsignedNumbers(line, read.fields, LogRecord::kFieldCount)) return false;
  record = read;
  return true;
}

std::string ActionText(const LogRecord& record) {
  switch (record.fields[1]) {
    case kEventAccess:
      return "accessed pin: " + std::to_string(record.fields[0]);
    case kEventFactoryReset:
      return "factory reset";
    case kEventPowerUp:
      return "powerup";
    default:
      return "invalid event";
  }
}

LogEntry MakeLogEntry(const LogRecord& record) {
  const auto* f = record.fields;
  return {CartTimeToSeconds({f[2], f[3], f[4], f[5], f[6], f[7]}), ActionText(record)};
}

}  // namespace molvane
