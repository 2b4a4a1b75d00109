#include "loader/bmp_image.h"

#include <algorithm>
#include <climits>
#include <fstream>
#include <limits>

namespace molvane {
namespace {

constexpr int kHeaderBytes = 54;  // file header and info header
constexpr int kGreyThreshold = 128;

std::uint32_t Le32(const unsigned char* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

int BytesForGrid(int bitsPerPixel) { return (PixelGrid::kSide * bitsPerPixel + 7) / 8; }

void SetDot(PixelGrid& grid, int row, int column, bool dark) {
  if (column < PixelGrid::kSide) grid.dots[row][column] = dark ? 1 : 0;
}

void DecodeRow(const unsigned char* bytes, int count, const BmpInfo& info, PixelGrid& grid,
               int row) {
  int columns = std::min(info.width, PixelGrid::kSide);
  if (info.bitsPerPixel == 1) {
    for (int c = 0; c < columns && c / 8 < count; ++c) {
      SetDot(grid, row, c, (bytes[c / 8] & (0x80 >> (c % 8))) == 0);
    }
  } else if (info.bitsPerPixel == 8) {
    for (int c = 0; c < columns && c < count; ++c) SetDot(grid, row, c, bytes[c] != 0);
  } else if (info.bitsPerPixel == 24) {
    for (int c = 0; c < columns && 3 * c + 2 < count; ++c) {
      int grey = (bytes[3 * c] + bytes[3 * c + 1] + bytes[3 * c + 2]) / 3;
      SetDot(grid, row, c, grey < kGreyThreshold);
    }
  }
}

bool ParseHeader(const unsigned char* h, BmpInfo& info, std::uint32_t& pixelOffset,
                 std::string& error) {
  if (h[0] != 'B' || h[1] != 'M') {
    error = "not a BMP picture";
    return false;
  }
  pixelOffset = Le32(h + 10);
  auto width = static_cast<std::int32_t>(Le32(h + 18));
  auto height = static_cast<std::int32_t>(Le32(h + 22));
  if (width <= 0 || height == 0 || height == INT32_MIN) {
    error = "the picture has no pixels";
    return false;
  }
  info.width = width;
  info.height = height < 0 ? -height : height;
  info.bottomUp = height > 0;
  info.bitsPerPixel = h[28] | (h[29] << 8);
  // Rows are padded to whole 32-bit words.
  info.stride = (static_cast<std::int64_t>(width) * info.bitsPerPixel + 31) / 32 * 4;
  return true;
}

}  // namespace

bool ReadBmpFile(const std::string& path, PixelGrid& grid, BmpInfo& info, std::string& error) {
  grid = PixelGrid{};
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "could not be opened";
    return false;
  }
  unsigned char header[kHeaderBytes] = {};
  in.read(reinterpret_cast<char*>(header), kHeaderBytes);
  if (in.gcount() < 2 || header[0] != 'B' || header[1] != 'M') {
    error = "not a BMP picture";
    return false;
  }
  std::uint32_t pixelOffset = 0;
  if (in.gcount() < kHeaderBytes) {
    error = "the picture is cut short";
    return false;
  }
  if (!ParseHeader(header, info, pixelOffset, error)) return false;
  bool known = info.bitsPerPixel == 1 || info.bitsPerPixel == 8 || info.bitsPerPixel == 24;
  if (!known) return true;
  // A header may claim more rows than any file holds; the offset of its last row must still be
  // a number before we seek to it.
  if (info.stride > (std::numeric_limits<std::int64_t>::max() - pixelOffset) / info.height) {
    error = "the picture is cut short";
    return false;
  }
  int wanted =
      static_cast<int>(std::min<std::int64_t>(info.stride, BytesForGrid(info.bitsPerPixel)));
  unsigned char row[3 * PixelGrid::kSide];
  for (int r = 0; r < std::min(info.height, PixelGrid::kSide); ++r) {
    std::int64_t fileRow = info.bottomUp ? info.height - 1 - r : r;
    in.clear();
    in.seekg(static_cast<std::streamoff>(pixelOffset + fileRow * info.stride));
    in.read(reinterpret_cast<char*>(row), wanted);
    if (in.gcount() < wanted) {
      error = "the picture is cut short";
      return false;
    }
    DecodeRow(row, wanted, info, grid, r);
  }
  return true;
}

}  // namespace molvane
