#pragma once
#include <array>
#include <cstdint>

#include "loader/bmp_image.h"

namespace molvane {

// The display's 82 x 32 one-bit title image: a three-byte head (0, columns, bands), then one byte
// per column and band of 8 rows with the band's top row in bit 0, then five zero bytes.
struct TitleBitmap {
  static constexpr int kColumns = 82;
  static constexpr int kBands = 4;
  static constexpr int kHeadBytes = 3;
  static constexpr int kSize = 336;
  std::array<std::uint8_t, kSize> bytes{};
};

// Rows at or beyond `height` (and beyond the 32 the image holds) are left clear.
TitleBitmap BuildTitleBitmap(const PixelGrid& grid, int height);

}  // namespace molvane
