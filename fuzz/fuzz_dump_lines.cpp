// One line of the cart's PIN dump or log dump, as read off the wire.
#include <string_view>

#include "cart/log_dump_line.h"
#include "cart/pin_dump_line.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(start, end - start);

    molvane::PinEntry entry{7, 11};
    if (!molvane::ParsePinDumpLine(line, entry))
      fuzzing::Require(entry.pin == 7 && entry.activationTime == 11,
                       "a refused line changed the entry");

    molvane::LogRecord record;
    record.fields[0] = 7;
    if (molvane::ParseLogDumpLine(line, record)) {
      const molvane::LogEntry event = molvane::MakeLogEntry(record);
      fuzzing::Require(!event.action.empty(), "an event without an action");
    } else {
      fuzzing::Require(record.fields[0] == 7, "a refused line changed the record");
    }
    start = end + 1;
  }
  return 0;
}
