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
  // Converted, but not as it looks on screen (an 8-bit table that shows colour 0 dark); empty
  // when the title shows the picture as it is.
  std::string warning;
};

// Reads an uncompressed BMP into the grid: 1-bit pixels whose bit is 0, 8-bit pixels whose index
// is not 0 (the display's rule, whatever the colour table says) and 24-bit pixels darker than
// mid-grey become dots. Parts of the picture beyond the grid are left out; dots the picture does
// not cover stay clear. False with a reason when the file is missing, not a BMP or cut short,
// when its pixel data would start inside its headers or its colour table, and when the
// conversion would not show the picture as it is: another depth than 1, 8 or 24 bits,
// compression, an older header form, or a 1-bit colour table that is not colour 0 dark and
// colour 1 light. An 8-bit table that shows colour 0 dark is converted with info.warning set.
bool ReadBmpFile(const std::string& path, PixelGrid& grid, BmpInfo& info, std::string& error);

}  // namespace molvane
