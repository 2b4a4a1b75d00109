#include "sim/trace_replay.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "sim/display_line.h"

namespace cartsim {
namespace {

constexpr std::string_view kTxStart = "TX: [len=";
constexpr std::string_view kRead = "Read: ";
constexpr std::string_view kStampShape = "dd:dd:dd.ddd ";
// A trace line for one write never holds more than a command or a display line; a length
// beyond this is a damaged trace, not something to allocate for.
constexpr std::size_t kMaxTxLength = 65536;

bool HoldsAt(std::string_view text, std::size_t at, std::string_view word) {
  return at <= text.size() && text.substr(at).starts_with(word);
}

// "0xhh" at `at`: the byte, or nothing.
std::optional<char> HexByte(std::string_view text, std::size_t at) {
  if (!HoldsAt(text, at, "0x") || at + 4 > text.size()) return std::nullopt;
  const int high = HexValue(text[at + 2]);
  const int low = HexValue(text[at + 3]);
  if (high < 0 || low < 0) return std::nullopt;
  return static_cast<char>(high * 16 + low);
}

bool IsTimeStamp(std::string_view text, std::size_t at) {
  if (at + kStampShape.size() > text.size()) return false;
  for (std::size_t i = 0; i < kStampShape.size(); ++i) {
    const char c = text[at + i];
    if (kStampShape[i] == 'd' ? !std::isdigit(static_cast<unsigned char>(c)) : c != kStampShape[i])
      return false;
  }
  return true;
}

// A trace mailed or opened on Windows may come back with CR LF wherever the host wrote a line
// feed, also where a line feed byte stands raw inside a line. These give how many characters
// stand for a line end, or for the raw byte, at `at`; 0 for neither.
std::size_t LineEndWidth(std::string_view text, std::size_t at) {
  if (HoldsAt(text, at, "\n")) return 1;
  return HoldsAt(text, at, "\r\n") ? 2 : 0;
}

std::size_t RawWidth(std::string_view text, std::size_t at, char byte) {
  if (byte == '\n') return LineEndWidth(text, at);
  return at < text.size() && text[at] == byte ? 1 : 0;
}

// "c [0xhh] " of a sent line: its width, or 0.
std::size_t TxItemWidth(std::string_view trace, std::size_t at, char& byte) {
  const std::size_t raw = HoldsAt(trace, at, "\r\n") ? 2 : 1;
  const std::optional<char> value = HexByte(trace, at + raw + 2);
  if (!value || !HoldsAt(trace, at + raw, " [") || !HoldsAt(trace, at + raw + 6, "] ")) return 0;
  byte = *value;
  return RawWidth(trace, at, byte) == raw ? raw + 8 : 0;
}

// "0xhh [c]" of a received line: its width, or 0.
std::size_t ReadItemWidth(std::string_view trace, std::size_t at, char& byte) {
  const std::optional<char> value = HexByte(trace, at);
  if (!value || !HoldsAt(trace, at + 4, " [")) return 0;
  byte = *value;
  const std::size_t raw = RawWidth(trace, at + 6, byte);
  return raw > 0 && HoldsAt(trace, at + 6 + raw, "]") ? raw + 7 : 0;
}

// The `length` items of a sent line from `at`, each checked against the text written before
// the colon, which shows the bytes up to the first NUL. Returns where the items end.
std::optional<std::size_t> TxItems(std::string_view trace, std::size_t at, std::size_t length,
                                   std::string_view text, std::string& bytes) {
  std::size_t textAt = 0;
  bool textEnded = false;
  for (char byte = 0; bytes.size() < length; bytes += byte) {
    const std::size_t width = TxItemWidth(trace, at, byte);
    if (width == 0) return std::nullopt;
    at += width;
    if (textEnded) continue;
    if (byte == '\0') {
      if (textAt != text.size()) return std::nullopt;
      textEnded = true;
      continue;
    }
    const std::size_t shown = RawWidth(text, textAt, byte);
    if (shown == 0) return std::nullopt;
    textAt += shown;
  }
  if (!textEnded && textAt != text.size()) return std::nullopt;
  return at;
}

// The bytes of a sent line: the text as written, a colon, then each byte raw and in hex. The
// text's end is not marked and it may hold colons, so each colon that could end it is tried.
// `next` is set past the line's end.
std::optional<std::string> TxBytes(std::string_view trace, std::size_t pos, std::size_t& next) {
  if (!HoldsAt(trace, pos, kTxStart)) return std::nullopt;
  std::size_t at = pos + kTxStart.size();
  std::size_t length = 0;
  while (at < trace.size() && std::isdigit(static_cast<unsigned char>(trace[at])) &&
         length <= kMaxTxLength) {
    length = length * 10 + static_cast<std::size_t>(trace[at++] - '0');
  }
  if (length > kMaxTxLength || !HoldsAt(trace, at, "], ")) return std::nullopt;
  const std::size_t textAt = at + 3;
  const std::size_t colonLimit = std::min(trace.size(), textAt + 2 * length + 1);
  for (std::size_t colon = trace.find(':', textAt); colon < colonLimit;
       colon = trace.find(':', colon + 1)) {
    std::string bytes;
    const std::optional<std::size_t> end =
        TxItems(trace, colon + 1, length, trace.substr(textAt, colon - textAt), bytes);
    if (end && LineEndWidth(trace, *end) > 0) {
      next = *end + LineEndWidth(trace, *end);
      return bytes;
    }
  }
  return std::nullopt;
}

// The bytes of a received line; `next` is set past the line's end.
std::optional<std::string> ReadBytes(std::string_view trace, std::size_t pos, std::size_t& next) {
  if (!IsTimeStamp(trace, pos) || !HoldsAt(trace, pos + kStampShape.size(), kRead))
    return std::nullopt;
  std::size_t at = pos + kStampShape.size() + kRead.size();
  std::string bytes;
  char byte = 0;
  for (std::size_t width; (width = ReadItemWidth(trace, at, byte)) > 0; at += width) bytes += byte;
  const std::size_t end = LineEndWidth(trace, at);
  if (end == 0) return std::nullopt;
  next = at + end;
  return bytes;
}

// The command's word, as the cart reads it: leading blanks do not count.
std::string_view WordOf(std::string_view line) {
  const std::size_t first = line.find_first_not_of(' ');
  return first == std::string_view::npos ? std::string_view() : CommandWord(line.substr(first));
}

std::size_t NextLine(std::string_view trace, std::size_t pos) {
  const std::size_t newline = trace.find('\n', pos);
  return newline == std::string_view::npos ? trace.size() : newline + 1;
}

}  // namespace

void TraceReplay::AddTrace(std::string_view trace) {
  std::string* answer = nullptr;  // where the cart's bytes go: the last command's answer
  std::string pending;            // a sent line not yet ended by its CR
  std::size_t pos = 0;
  while (pos < trace.size()) {
    std::size_t next = 0;
    if (const std::optional<std::string> sent = TxBytes(trace, pos, next)) {
      answer = nullptr;
      for (const char byte : *sent) {
        if (byte == '\n') continue;
        if (byte != '\r') {
          pending += byte;
          continue;
        }
        Recorded& recorded = answers[std::string(WordOf(pending))];
        recorded.answers.emplace_back();
        answer = &recorded.answers.back();
        pending.clear();
      }
      pos = next;
    } else if (const std::optional<std::string> received = ReadBytes(trace, pos, next)) {
      if (answer != nullptr) *answer += *received;
      pos = next;
    } else {
      pos = NextLine(trace, pos);
    }
  }
}

std::string TraceReplay::Answer(std::string_view line) {
  const auto found = answers.find(WordOf(line));
  if (found == answers.end() || found->second.answers.empty()) return "unknown cmd\r\n>";
  Recorded& recorded = found->second;
  const std::size_t index = std::min(recorded.next, recorded.answers.size() - 1);
  if (recorded.next < recorded.answers.size()) ++recorded.next;
  return recorded.answers[index];
}

}  // namespace cartsim
