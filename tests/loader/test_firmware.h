#pragma once
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace loader_test {

// Intel HEX of `data` placed at `base`, 16 bytes per record.
inline std::string HexOf(const std::vector<std::uint8_t>& data, int base = 0) {
  std::string text;
  for (std::size_t at = 0; at < data.size(); at += 16) {
    std::size_t count = std::min<std::size_t>(16, data.size() - at);
    int address = base + static_cast<int>(at);
    char piece[16];
    std::snprintf(piece, sizeof piece, ":%02X%04X00", static_cast<int>(count), address & 0xFFFF);
    text += piece;
    int sum = static_cast<int>(count) + ((address >> 8) & 0xFF) + (address & 0xFF);
    for (std::size_t i = 0; i < count; ++i) {
      std::snprintf(piece, sizeof piece, "%02X", data[at + i]);
      text += piece;
      sum += data[at + i];
    }
    std::snprintf(piece, sizeof piece, "%02X\n", (-sum) & 0xFF);
    text += piece;
  }
  return text + ":00000001FF\n";
}

// Bytes that differ from page to page, so a page written to the wrong place shows.
inline std::vector<std::uint8_t> Pattern(int size) {
  std::vector<std::uint8_t> data(static_cast<std::size_t>(size));
  for (int i = 0; i < size; ++i) data[i] = static_cast<std::uint8_t>((i * 37 + i / 256) & 0xFF);
  return data;
}

}  // namespace loader_test
