#include "app/number_text.h"

#include <limits>

namespace molvane {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Blanks in the C sense: space, tab, line ends, vertical tab and form feed.
bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

std::size_t SkipBlanks(std::string_view text, std::size_t at) {
  while (at < text.size() && IsBlank(text[at])) ++at;
  return at;
}

// Reads the digits at `at`, saturating at `limit`; advances `at` past them.
std::uint64_t ReadDigits(std::string_view text, std::size_t& at, std::uint64_t limit) {
  std::uint64_t value = 0;
  for (; at < text.size() && IsDigit(text[at]); ++at) {
    const auto digit = static_cast<std::uint64_t>(text[at] - '0');
    value = (value > (limit - digit) / 10) ? limit : value * 10 + digit;
  }
  return value;
}

}  // namespace

int TextToInt(std::string_view text) {
  std::size_t at = SkipBlanks(text, 0);
  bool negative = false;
  if (at < text.size() && (text[at] == '-' || text[at] == '+')) negative = text[at++] == '-';
  const std::uint64_t maxMagnitude = negative ? std::uint64_t{std::numeric_limits<int>::max()} + 1
                                              : std::numeric_limits<int>::max();
  const std::uint64_t magnitude = ReadDigits(text, at, maxMagnitude);
  if (!negative) return static_cast<int>(magnitude);
  return static_cast<int>(-static_cast<std::int64_t>(magnitude));
}

std::uint32_t TextToPin(std::string_view text) {
  std::size_t at = SkipBlanks(text, 0);
  return static_cast<std::uint32_t>(
      ReadDigits(text, at, std::numeric_limits<std::uint32_t>::max()));
}

int ScanUnsignedNumbers(std::string_view text, std::uint64_t* values, int maxCount) {
  int count = 0;
  std::size_t at = 0;
  while (count < maxCount) {
    at = SkipBlanks(text, at);
    if (at >= text.size() || !IsDigit(text[at])) break;
    values[count++] = ReadDigits(text, at, std::numeric_limits<std::uint64_t>::max());
  }
  return count;
}

bool LeadingUnsigned(std::string_view text, std::uint64_t& value) {
  std::size_t at = 0;
  while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
  if (at >= text.size() || !IsDigit(text[at])) return false;
  value = ReadDigits(text, at, std::numeric_limits<std::uint64_t>::max());
  return true;
}

}  // namespace molvane
