#include "link/trace_entries.h"

#include <algorithm>

#include "base/number_text.h"

namespace molvane {
namespace {

constexpr std::string_view kSentStart = "TX: [len=";
constexpr std::string_view kReceivedWord = "Read: ";
constexpr std::string_view kStampShape = "dd:dd:dd.ddd ";
// No write is longer than a firmware page or a display line; a longer length is damage.
constexpr std::size_t kMaxSentLength = 65536;

bool HoldsAt(std::string_view text, std::size_t at, std::string_view word) {
  return at <= text.size() && text.substr(at).starts_with(word);
}

// The byte "0xhh" at `at` spells, or -1.
int SpelledByte(std::string_view text, std::size_t at) {
  if (!HoldsAt(text, at, "0x") || at + 4 > text.size()) return -1;
  const int high = HexDigitValue(text[at + 2]);
  const int low = HexDigitValue(text[at + 3]);
  return high < 0 || low < 0 ? -1 : high * 16 + low;
}

// A trace whose line ends were turned into CR LF on its way (by a mail client, or an editor on
// Windows) holds "\r\n" wherever the writer put "\n", the LF bytes it showed raw included. These
// give how many characters stand for a line end, or for one raw byte, at `at`; 0 for neither.
std::size_t LineEndWidth(std::string_view text, std::size_t at) {
  if (HoldsAt(text, at, "\n")) return 1;
  return HoldsAt(text, at, "\r\n") ? 2 : 0;
}

std::size_t RawByteWidth(std::string_view text, std::size_t at, char raw) {
  if (raw == '\n') return LineEndWidth(text, at);
  return at < text.size() && text[at] == raw ? 1 : 0;
}

// One sent byte, "c [0xhh] ": its width in the trace, or 0.
std::size_t SentItem(std::string_view trace, std::size_t at, char& raw) {
  const std::size_t width = HoldsAt(trace, at, "\r\n") ? 2 : 1;
  const int value = SpelledByte(trace, at + width + 2);
  if (value < 0 || !HoldsAt(trace, at + width, " [") || !HoldsAt(trace, at + width + 6, "] "))
    return 0;
  raw = static_cast<char>(value);
  return RawByteWidth(trace, at, raw) == width ? width + 8 : 0;
}

// One received byte, "0xhh [c]": its width in the trace, or 0.
std::size_t ReceivedItem(std::string_view trace, std::size_t at, char& raw) {
  const int value = SpelledByte(trace, at);
  if (value < 0 || !HoldsAt(trace, at + 4, " [")) return 0;
  raw = static_cast<char>(value);
  const std::size_t width = RawByteWidth(trace, at + 6, raw);
  return width > 0 && HoldsAt(trace, at + 6 + width, "]") ? width + 7 : 0;
}

// The `length` items of a sent entry from `at`, each checked as it comes against the text shown
// before the colon, which holds the bytes up to the first NUL: where they end, or npos.
std::size_t ReadSentItems(std::string_view trace, std::size_t at, std::size_t length,
                          std::string_view shown, std::string& bytes) {
  std::size_t shownAt = 0;
  bool shownAll = false;
  for (char raw = 0; bytes.size() < length; bytes += raw) {
    const std::size_t width = SentItem(trace, at, raw);
    if (width == 0) return std::string_view::npos;
    at += width;
    if (shownAll) continue;
    if (raw == '\0') {
      if (shownAt != shown.size()) return std::string_view::npos;
      shownAll = true;
      continue;
    }
    const std::size_t shownWidth = RawByteWidth(shown, shownAt, raw);
    if (shownWidth == 0) return std::string_view::npos;
    shownAt += shownWidth;
  }
  return shownAll || shownAt == shown.size() ? at : std::string_view::npos;
}

std::size_t LineEnd(std::string_view text, std::size_t from) {
  const std::size_t newline = text.find('\n', from);
  return newline == std::string_view::npos ? text.size() : newline + 1;
}

// A sent entry: its length, the bytes shown as text, a colon, then each byte raw and in hex.
// Where the shown text ends is not marked and it may hold colons, so each colon that could end
// it is tried until the items check out.
bool ReadSent(std::string_view trace, std::size_t start, TraceEntry& entry) {
  std::size_t at = start + kSentStart.size();
  std::size_t length = 0;
  while (at < trace.size() && trace[at] >= '0' && trace[at] <= '9' && length <= kMaxSentLength)
    length = length * 10 + static_cast<std::size_t>(trace[at++] - '0');
  if (length > kMaxSentLength || !HoldsAt(trace, at, "], ")) return false;
  const std::size_t shownAt = at + 3;
  // Each byte is shown in one character, or two for a line feed that became CR LF.
  const std::size_t lastColon = std::min(trace.size(), shownAt + 2 * length + 1);
  for (std::size_t colon = trace.find(':', shownAt); colon < lastColon;
       colon = trace.find(':', colon + 1)) {
    std::string bytes;
    const std::size_t itemsEnd =
        ReadSentItems(trace, colon + 1, length, trace.substr(shownAt, colon - shownAt), bytes);
    const std::size_t end = LineEndWidth(trace, itemsEnd);
    if (itemsEnd == std::string_view::npos || end == 0) continue;
    entry = {TraceEntry::Kind::Sent, trace.substr(start, itemsEnd + end - start), std::move(bytes)};
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
  if (!HasStamp(trace, start) || !HoldsAt(trace, at, kReceivedWord)) return false;
  at += kReceivedWord.size();
  std::string bytes;
  char raw = 0;
  for (std::size_t width = ReceivedItem(trace, at, raw); width > 0;
       width = ReceivedItem(trace, at, raw)) {
    bytes += raw;
    at += width;
  }
  const std::size_t end = LineEndWidth(trace, at);
  if (end == 0) return false;
  entry = {TraceEntry::Kind::Received, trace.substr(start, at + end - start), std::move(bytes)};
  return true;
}

}  // namespace

std::vector<TraceEntry> SplitTraceEntries(std::string_view trace) {
  std::vector<TraceEntry> entries;
  std::size_t pos = 0;
  while (pos < trace.size()) {
    TraceEntry entry;
    const bool known = (HoldsAt(trace, pos, kSentStart) && ReadSent(trace, pos, entry)) ||
                       ReadReceived(trace, pos, entry);
    if (!known) entry = {TraceEntry::Kind::Other, trace.substr(pos, LineEnd(trace, pos) - pos), {}};
    pos += entry.text.size();
    entries.push_back(std::move(entry));
  }
  return entries;
}

}  // namespace molvane
