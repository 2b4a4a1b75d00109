#include "sim/display_line.h"

namespace cartsim {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view SkipBlanks(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  return text.substr(i);
}

// At least one byte: a write without data is a mistake on the sender's side.
std::optional<std::vector<std::uint8_t>> ParseHexBytes(std::string_view hex) {
  if (hex.empty() || hex.size() % 2 != 0) return std::nullopt;
  std::vector<std::uint8_t> bytes;
  bytes.reserve(hex.size() / 2);
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    const int high = HexValue(hex[i]);
    const int low = HexValue(hex[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
  }
  return bytes;
}

}  // namespace

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string_view CommandWord(std::string_view line) {
  std::size_t end = 0;
  while (end < line.size() && !IsBlank(line[end])) ++end;
  return line.substr(0, end);
}

std::string_view TrimEnd(std::string_view line) {
  while (!line.empty() && (IsBlank(line.back()) || line.back() == '\r' || line.back() == '\n')) {
    line.remove_suffix(1);
  }
  return line;
}

std::optional<int> ParseBoundedDecimal(std::string_view text, int limit) {
  if (text.empty()) return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > limit) return std::nullopt;
  }
  return value;
}

std::optional<MemoryWrite> ParseMemoryWrite(std::string_view line) {
  line = TrimEnd(line);
  const std::string_view word = CommandWord(line);
  if (word != "ew" && word != "rew") return std::nullopt;
  std::string_view rest = line.substr(word.size());
  if (rest.empty() || !IsBlank(rest.front())) return std::nullopt;
  rest = SkipBlanks(rest);
  const std::string_view addressText = CommandWord(rest);
  const auto address = ParseBoundedDecimal(addressText, kDisplayMemoryBytes - 1);
  if (!address) return std::nullopt;
  auto bytes = ParseHexBytes(SkipBlanks(rest.substr(addressText.size())));
  if (!bytes || *address + static_cast<int>(bytes->size()) > kDisplayMemoryBytes) {
    return std::nullopt;
  }
  return MemoryWrite{*address, std::move(*bytes)};
}

}  // namespace cartsim
