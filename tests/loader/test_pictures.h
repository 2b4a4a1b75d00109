#pragma once
#include <cstdint>
#include <functional>
#include <string>

namespace loader_test {

using Dark = std::function<bool(int row, int column)>;  // row 0 is the top of the picture

inline void Put32(std::string& s, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// The colour table the conversion reads indices by: one bit is black on white (colour 0 black),
// eight bits are white for colour 0 and black for every other colour.
inline void PutColourTable(std::string& file, int bits) {
  const int count = 1 << bits;
  for (int i = 0; i < count; ++i) {
    const bool white = bits == 1 ? i == 1 : i == 0;
    for (int c = 0; c < 3; ++c) file[54 + 4 * i + c] = white ? '\xff' : '\0';
  }
}

// An uncompressed BMP; a negative height stores the top row first.
inline std::string MakeBmp(int width, int height, int bits, const Dark& dark) {
  int rows = height < 0 ? -height : height;
  int stride = (width * bits + 31) / 32 * 4;
  int palette = bits == 24 ? 0 : (1 << bits) * 4;
  std::string file(54 + palette, '\0');
  if (bits != 24) PutColourTable(file, bits);
  file[0] = 'B';
  file[1] = 'M';
  Put32(file, 10, 54 + palette);
  Put32(file, 14, 40);
  Put32(file, 18, static_cast<std::uint32_t>(width));
  Put32(file, 22, static_cast<std::uint32_t>(height));
  file[26] = 1;
  file[28] = static_cast<char>(bits);
  for (int f = 0; f < rows; ++f) {
    int row = height < 0 ? f : rows - 1 - f;
    std::string bytes(stride, '\0');
    for (int c = 0; c < width; ++c) {
      bool d = dark(row, c);
      if (bits == 1 && !d) bytes[c / 8] = static_cast<char>(bytes[c / 8] | (0x80 >> (c % 8)));
      if (bits == 8) bytes[c] = d ? 7 : 0;
      if (bits == 24) bytes[3 * c] = bytes[3 * c + 1] = bytes[3 * c + 2] = d ? 0 : '\xff';
    }
    file += bytes;
  }
  return file;
}

}  // namespace loader_test
