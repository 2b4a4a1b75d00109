#include "cart/log_dump_line.h"

#include "base/cart_time.h"
#include "base/number_text.h"

namespace molvane {

void ApplyLogDumpLine(std::string_view line, LogRecord& record) {
  std::uint64_t read[LogRecord::kFieldCount] = {};
  const int count = ScanUnsignedNumbers(line, read, LogRecord::kFieldCount);
  for (int i = 0; i < count; ++i) record.fields[i] = read[i];
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
