#include "base/number_text.h"

#include <charconv>
#include <cmath>
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

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

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

bool ScanExactUnsignedNumbers(std::string_view text, std::uint64_t* values, int count) {
  std::size_t at = 0;
  for (int i = 0; i < count; ++i) {
    // Digits are read whole, so what follows a number is a blank, the end or a stray character.
    at = SkipBlanks(text, at);
    if (at >= text.size() || !IsDigit(text[at])) return false;
    values[i] = ReadDigits(text, at, std::numeric_limits<std::uint64_t>::max());
  }
  return SkipBlanks(text, at) == text.size();
}

bool LeadingUnsigned(std::string_view text, std::uint64_t& value) {
  std::size_t at = 0;
  while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
  if (at >= text.size() || !IsDigit(text[at])) return false;
  value = ReadDigits(text, at, std::numeric_limits<std::uint64_t>::max());
  return true;
}

float TextToFloat(std::string_view text) {
  std::size_t at = SkipBlanks(text, 0);
  bool negative = false;
  if (at < text.size() && (text[at] == '-' || text[at] == '+')) negative = text[at++] == '-';
  // Digits or a point must follow: no second sign, and no "inf" or "nan", which from_chars
  // would take.
  if (at >= text.size() || !(IsDigit(text[at]) || text[at] == '.')) return 0;
  double value = 0;
  const char* first = text.data() + at;
  const auto [end, error] =
      std::from_chars(first, text.data() + text.size(), value, std::chars_format::general);
  if (error == std::errc::invalid_argument) return 0;
  if (error == std::errc::result_out_of_range) {
    // Too many digits before the point, or an exponent too large either way.
    const std::string_view number(first, static_cast<std::size_t>(end - first));
    const std::size_t e = number.find_first_of("eE");
    const bool tiny = e != std::string_view::npos && e + 1 < number.size() && number[e + 1] == '-';
    value = tiny ? 0.0 : std::numeric_limits<double>::max();
  }
  constexpr double kLargest = std::numeric_limits<float>::max();
  const double magnitude = std::fabs(value) > kLargest ? kLargest : std::fabs(value);
  return static_cast<float>(negative ? -magnitude : magnitude);
}

}  // namespace molvane
