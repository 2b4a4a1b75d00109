#include "loader/title_bitmap.h"

#include <algorithm>

namespace molvane {

TitleBitmap BuildTitleBitmap(const PixelGrid& grid, int height) {
  TitleBitmap title;
  title.bytes[0] = 0;
  title.bytes[1] = TitleBitmap::kColumns;
  title.bytes[2] = TitleBitmap::kBands;
  int rows = std::clamp(height, 0, TitleBitmap::kBands * 8);
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < TitleBitmap::kColumns; ++c) {
      int index = TitleBitmap::kHeadBytes + (r / 8) * TitleBitmap::kColumns + c;
      title.bytes[index] |= static_cast<std::uint8_t>((grid.dots[r][c] & 1) << (r % 8));
    }
  }
  return title;
}

}  // namespace molvane
