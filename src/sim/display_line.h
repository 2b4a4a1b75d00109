#pragma once
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace cartsim {

// One display-memory write: "ew ADDRESS HEX" or "rew ADDRESS HEX", the data as pairs of hex
// digits without separators; at least one byte.
struct MemoryWrite {
  int address = 0;
  std::vector<std::uint8_t> bytes;
};

inline constexpr int kDisplayMemoryBytes = 1024;

// The value of one hexadecimal digit; -1 for any other character.
int HexValue(char c);

// The first blank-separated word of a line.
std::string_view CommandWord(std::string_view line);

// The line without trailing blanks, tabs, CR or LF.
std::string_view TrimEnd(std::string_view line);

// Reads a decimal number of at most `limit`; nothing for anything else.
std::optional<int> ParseBoundedDecimal(std::string_view text, int limit);

// Reads a write line whose bytes all fall inside display memory; nothing when malformed.
std::optional<MemoryWrite> ParseMemoryWrite(std::string_view line);

}  // namespace cartsim
