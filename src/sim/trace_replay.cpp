#include "sim/trace_replay.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "sim/display_line.h"

namespace cartsim {
namespace {

constexpr std::string_view kTxStart = "TX: [len=";
constexpr std::string_view kRead = "Read: ";
constexpr std::size_t kTxEntry = 9;    // "c [0xhh] "
constexpr std::size_t kReadEntry = 8;  // "0xhh [c]"
// A trace line for one write never holds more than a command or a display line; a length
// beyond this is a damaged trace, not something to allocate for.
constexpr std::size_t kMaxTxLength = 65536;

// "0xhh" at `at`: the byte, or nothing.
std::optional<char> HexByte(std::string_view text, std::size_t at) {
  if (at + 4 > text.size() || text[at] != '0' || text[at + 1] != 'x') return std::nullopt;
  const int high = HexValue(text[at + 2]);
  const int low = HexValue(text[at + 3]);
  if (high < 0 || low < 0) return std::nullopt;
  return static_cast<char>(high * 16 + low);
}

bool IsTimeStamp(std::string_view text, std::size_t at) {
  static constexpr std::string_view kShape = "dd:dd:dd.ddd ";
  if (at + kShape.size() > text.size()) return false;
  for (std::size_t i = 0; i < kShape.size(); ++i) {
    const char c = text[at + i];
    if (kShape[i] == 'd' ? !std::isdigit(static_cast<unsigned char>(c)) : c != kShape[i]) {
      return false;
    }
  }
  return true;
}

// The bytes of a sent line: the text as written (up to its first NUL), a colon, then each byte
// raw and in hex. The text's length is not marked, so each length that fits is tried.
std::optional<std::string> TxBytes(std::string_view trace, std::size_t at, std::size_t length,
                                   std::size_t& end) {
  for (std::size_t shown = 0; shown <= length; ++shown) {
    std::size_t pos = at + shown;
    if (pos >= trace.size() || trace[pos] != ':') continue;
    ++pos;
    if (pos + length * kTxEntry > trace.size()) return std::nullopt;
    std::string bytes;
    for (std::size_t i = 0; i < length; ++i, pos += kTxEntry) {
      const std::optional<char> byte = HexByte(trace, pos + 3);
      if (!byte || trace[pos] != *byte || trace.substr(pos + 1, 2) != " [" ||
          trace.substr(pos + 7, 2) != "] ") {
        break;
      }
      bytes += *byte;
    }
    if (bytes.size() != length) continue;
    const std::size_t nul = bytes.find('\0');
    if ((nul == std::string::npos ? length : nul) != shown) continue;
    if (trace.substr(at, shown) != std::string_view(bytes).substr(0, shown)) continue;
    end = pos;
    return bytes;
  }
  return std::nullopt;
}

std::string ReadBytes(std::string_view trace, std::size_t& pos) {
  std::string bytes;
  while (pos + kReadEntry <= trace.size()) {
    const std::optional<char> byte = HexByte(trace, pos);
    if (!byte || trace.substr(pos + 4, 2) != " [" || trace[pos + 6] != *byte ||
        trace[pos + 7] != ']') {
      break;
    }
    bytes += *byte;
    pos += kReadEntry;
  }
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
    if (trace.substr(pos, kTxStart.size()) == kTxStart) {
      std::size_t at = pos + kTxStart.size();
      std::size_t length = 0;
      while (at < trace.size() && std::isdigit(static_cast<unsigned char>(trace[at])) &&
             length <= kMaxTxLength) {
        length = length * 10 + static_cast<std::size_t>(trace[at++] - '0');
      }
      std::size_t end = 0;
      std::optional<std::string> bytes;
      if (length <= kMaxTxLength && trace.substr(at, 3) == "], ") {
        bytes = TxBytes(trace, at + 3, length, end);
      }
      if (!bytes) {
        pos = NextLine(trace, pos);
        continue;
      }
      answer = nullptr;
      for (const char byte : *bytes) {
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
      pos = NextLine(trace, end);
      continue;
    }
    if (IsTimeStamp(trace, pos) && trace.substr(pos + 13, kRead.size()) == kRead) {
      pos += 13 + kRead.size();
      const std::string bytes = ReadBytes(trace, pos);
      if (answer != nullptr) *answer += bytes;
      pos = NextLine(trace, pos);
      continue;
    }
    pos = NextLine(trace, pos);
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
