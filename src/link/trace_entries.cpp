#include "link/trace_entries.h"

namespace molvane {
namespace {

constexpr std::string_view kSentStart = "TX: [len=";
constexpr std::string_view kReceivedWord = "Read: ";
constexpr std::string_view kStampShape = "dd:dd:dd.ddd ";
constexpr std::size_t kSentItem = 9;      // "c [0xhh] "
constexpr std::size_t kReceivedItem = 8;  // "0xhh [c]"
// No write is longer than a firmware page or a display line; a longer length is damage.
constexpr std::size_t kMaxSentLength = 65536;

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// "0xhh" at `at` spells the byte `raw`.
bool SpellsByte(std::string_view text, std::size_t at, char raw) {
  if (at + 4 > text.size() || text[at] != '0' || text[at + 1] != 'x') return false;
  const int high = HexDigit(text[at + 2]);
  const int low = HexDigit(text[at + 3]);
  return high >= 0 && low >= 0 && high * 16 + low == static_cast<unsigned char>(raw);
}

bool EndsLineAt(std::string_view text, std::size_t at) {
  return at < text.size() && text[at] == '\n';
}

std::size_t LineEnd(std::string_view text, std::size_t from) {
  const std::size_t newline = text.find('\n', from);
  return newline == std::string_view::npos ? text.size() : newline + 1;
}

// A sent entry shows its bytes up to the first NUL, a colon, then each byte raw and in hex. How
// much was shown is not marked, so each length is tried until the items check out.
bool ReadSent(std::string_view trace, std::size_t start, TraceEntry& entry) {
  std::size_t at = start + kSentStart.size();
  std::size_t length = 0;
  while (at < trace.size() && trace[at] >= '0' && trace[at] <= '9' && length <= kMaxSentLength)
    length = length * 10 + static_cast<std::size_t>(trace[at++] - '0');
  if (length > kMaxSentLength || trace.substr(at, 3) != "], ") return false;
  const std::size_t shownAt = at + 3;
  for (std::size_t shown = 0; shown <= length; ++shown) {
    const std::size_t itemsAt = shownAt + shown + 1;
    const std::size_t end = itemsAt + length * kSentItem;
    if (shownAt + shown >= trace.size() || trace[shownAt + shown] != ':' || !EndsLineAt(trace, end))
      continue;
    std::string bytes;
    for (std::size_t p = itemsAt; p < end; p += kSentItem) {
      const char raw = trace[p];
      if (trace.substr(p + 1, 2) != " [" || !SpellsByte(trace, p + 3, raw) ||
          trace.substr(p + 7, 2) != "] ")
        break;
      bytes += raw;
    }
    if (bytes.size() != length) continue;
    const std::size_t nul = bytes.find('\0');
    if ((nul == std::string::npos ? length : nul) != shown ||
        trace.substr(shownAt, shown) != std::string_view(bytes).substr(0, shown))
      continue;
    entry = {TraceEntry::Kind::Sent, trace.substr(start, end + 1 - start), std::move(bytes)};
    return true;
  }
  return false;
}

bool HasStamp(std::string_view trace, std::size_t at) {
  if (at + kStampShape.size() > trace.size()) return false;
  for (std::size_t i = 0; i < kStampShape.size(); ++i) {
    const char c = trace[at + i];
    if (kStampShape[i] == 'd' ? (c < '0' || c > '9') : c != kStampShape[i]) return false;
  }
  return true;
}

bool ReadReceived(std::string_view trace, std::size_t start, TraceEntry& entry) {
  std::size_t at = start + kStampShape.size();
  if (!HasStamp(trace, start) || trace.substr(at, kReceivedWord.size()) != kReceivedWord)
    return false;
  at += kReceivedWord.size();
  std::string bytes;
  while (at + kReceivedItem <= trace.size() && trace.substr(at + 4, 2) == " [" &&
         SpellsByte(trace, at, trace[at + 6]) && trace[at + 7] == ']') {
    bytes += trace[at + 6];
    at += kReceivedItem;
  }
  if (!EndsLineAt(trace, at)) return false;
  entry = {TraceEntry::Kind::Received, trace.substr(start, at + 1 - start), std::move(bytes)};
  return true;
}

}  // namespace

std::vector<TraceEntry> SplitTraceEntries(std::string_view trace) {
  std::vector<TraceEntry> entries;
  std::size_t pos = 0;
  while (pos < trace.size()) {
    TraceEntry entry;
    const bool known =
        (trace.substr(pos, kSentStart.size()) == kSentStart && ReadSent(trace, pos, entry)) ||
        ReadReceived(trace, pos, entry);
    if (!known) entry = {TraceEntry::Kind::Other, trace.substr(pos, LineEnd(trace, pos) - pos), {}};
    pos += entry.text.size();
    entries.push_back(std::move(entry));
  }
  return entries;
}

}  // namespace molvane
