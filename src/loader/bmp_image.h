#pragma once
#include <array>
#include <cstdint>
#include <string>

namespace molvane {

// The pixels a picture can contribute: 128 x 128, top row first, 1 = dark (a set display dot).
struct PixelGrid {
  static constexpr int kSide = 128;
  std::array<std::array<std::uint8_t, kSide>, kSide> dots{};
};

struct BmpInfo {
  int width = 0;
  int height = 0;  // rows, whichever way the file stores them
  bool bottomUp = true;
  int bitsPerPixel = 0;
  std::int64_t stride = 0;
};

// Reads an uncompressed BMP into the grid: 1-bit pixels whose bit is 0, 8-bit pixels whose index
// is not 0 and 24-bit pixels darker than mid-grey become dots. Parts of the picture beyond the
// grid are left out; dots the picture does not cover stay clear. False with a reason when the
// file is missing, not a BMP or cut short, and when the conversion would not show the picture
// as it is: another depth than 1, 8 or 24 bits, compression, an older header form, or a colour
// table that does not read the way the conversion reads the indices (for 1 bit: colour 0 dark
// and colour 1 light; for 8 bits: colour 0 light and every other colour the picture uses dark).
bool ReadBmpFile(const std::string& path, PixelGrid& grid, BmpInfo& info, std::string& error);

}  // namespace molvane
