// The support report's copy of the traffic trace, which must never let an access code through.
// After redaction, read as the trace is read: no received line (across entries, as the host
// reads lines) and no reply line reads as a PIN or log record, and no PIN or facility command
// with its argument is left anywhere, whatever the trace held.
#include <cstdint>
#include <string>
#include <string_view>

#include "app/cart_data.h"
#include "backup/trace_redaction.h"
#include "base/number_text.h"
#include "cart/log_dump_line.h"
#include "cart/pin_dump_line.h"
#include "fuzz_support.h"
#include "link/trace_entries.h"

namespace {

using molvane::TraceEntry;

constexpr std::string_view kArgumentCommands[] = {"pin_list_add", "pin_list_remove",
                                                  "set_rfid_facility"};

bool EndsLine(char c) { return c == '\r' || c == '\n' || c == '>'; }

// As the dump readers take a line: a PIN record, or any numbers a log record is made from.
bool ReadsAsRecord(std::string_view line) {
  molvane::PinEntry entry;
  std::uint64_t fields[molvane::LogRecord::kFieldCount];
  return molvane::ParsePinDumpLine(line, entry) ||
         molvane::ScanUnsignedNumbers(line, fields, molvane::LogRecord::kFieldCount) > 0;
}

// A PIN or facility command followed by blanks and anything but a line end.
bool HoldsArgument(std::string_view text) {
  for (const std::string_view word : kArgumentCommands) {
    for (std::size_t at = text.find(word); at != text.npos; at = text.find(word, at + 1)) {
      std::size_t next = at + word.size();
      if (next >= text.size() || (text[next] != ' ' && text[next] != '\t')) continue;
      while (next < text.size() && (text[next] == ' ' || text[next] == '\t')) ++next;
      if (next < text.size() && !EndsLine(text[next])) return true;
    }
  }
  return false;
}

void RequireNoCodeInLines(std::string_view text, const char* what) {
  std::size_t start = 0;
  for (std::size_t at = 0; at <= text.size(); ++at) {
    if (at < text.size() && !EndsLine(text[at])) continue;
    const std::string_view line = text.substr(start, at - start);
    if (ReadsAsRecord(line) || HoldsArgument(line)) fuzzing::Fail(what);
    start = at + 1;
  }
}

void RequireNoAccessCodes(std::string_view redacted) {
  std::string received;
  for (const TraceEntry& entry : molvane::SplitTraceEntries(redacted)) {
    switch (entry.kind) {
      case TraceEntry::Kind::Received:
        received += entry.bytes;
        break;
      case TraceEntry::Kind::Sent:
        fuzzing::Require(!HoldsArgument(entry.bytes), "a PIN or facility command was sent");
        break;
      case TraceEntry::Kind::Other:
        fuzzing::Require(!HoldsArgument(entry.text), "a PIN or facility command in a line");
        if (entry.text.starts_with("RX: "))
          RequireNoCodeInLines(entry.text.substr(4), "a reply line reads as a record");
        break;
    }
  }
  RequireNoCodeInLines(received, "a received line reads as a record");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view trace(reinterpret_cast<const char*>(data), size);
  for (const bool startsMidway : {false, true}) {
    RequireNoAccessCodes(molvane::RedactTrace(trace, startsMidway));
  }
  return 0;
}
