#include "loader/bmp_image.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdio>
#include <limits>

#include "base/regular_file.h"

namespace molvane {
namespace {

constexpr int kHeaderBytes = 54;  // file header and the info header the reader knows
constexpr int kInfoHeaderBytes = 40;
constexpr int kGreyThreshold = 128;
constexpr std::uint32_t kUncompressed = 0;

std::uint32_t Le32(const unsigned char* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// The bytes there, as many as the file holds of them. An offset past what the stream can seek to
// (2 GiB on some systems) is past the end of any picture.
std::size_t ReadAt(std::FILE* in, std::int64_t offset, unsigned char* into, std::size_t count) {
  if (offset < 0 || offset > LONG_MAX) return 0;
  if (std::fseek(in, static_cast<long>(offset), SEEK_SET) != 0) return 0;
  return std::fread(into, 1, count, in);
}

bool IsDark(int blue, int green, int red) { return (blue + green + red) / 3 < kGreyThreshold; }

int BytesForGrid(int bitsPerPixel) { return (PixelGrid::kSide * bitsPerPixel + 7) / 8; }

// A picture with a colour table stores indices; the conversion reads those with a fixed meaning
// (1 bit: colour 0 dark; 8 bits: colour 0 clear, every other colour dark). For 1 bit the table
// must agree for every index the picture uses, or the title would come out inverted. For 8 bits
// the display's own rule goes by the index alone, and pictures prepared for it rely on that.
struct ColourTable {
  int count = 0;
  std::array<bool, 256> dark{};
};

struct Picture {
  BmpInfo info;
  std::uint32_t pixelOffset = 0;
  std::uint32_t infoSize = 0;
  std::uint32_t compression = 0;
  std::uint32_t coloursUsed = 0;
  ColourTable colours;
};

bool ConversionDark(int bitsPerPixel, int index) {
  return bitsPerPixel == 1 ? index == 0 : index != 0;
}

// False with the reason when a 1-bit picture uses an index its table lacks or reads differently.
bool CheckIndex(const Picture& p, int index, std::string& error) {
  if (p.info.bitsPerPixel != 1) return true;
  if (index >= p.colours.count) {
    error = "it uses colour " + std::to_string(index) + ", which its colour table does not hold";
    return false;
  }
  if (p.colours.dark[static_cast<std::size_t>(index)] != ConversionDark(1, index)) {
    error = "its colour table is not black (colour 0) and white (colour 1)";
    return false;
  }
  return true;
}

void SetDot(PixelGrid& grid, int row, int column, bool dark) {
  if (column < PixelGrid::kSide) grid.dots[row][column] = dark ? 1 : 0;
}

bool DecodeRow(const unsigned char* bytes, int count, const Picture& p, PixelGrid& grid, int row,
               std::string& error) {
  const int columns = std::min(p.info.width, PixelGrid::kSide);
  const int bits = p.info.bitsPerPixel;
  for (int c = 0; c < columns; ++c) {
    if (bits == 24) {
      if (3 * c + 2 >= count) break;
      SetDot(grid, row, c, IsDark(bytes[3 * c], bytes[3 * c + 1], bytes[3 * c + 2]));
      continue;
    }
    if ((bits == 1 ? c / 8 : c) >= count) break;
    const int index = bits == 1 ? (bytes[c / 8] >> (7 - c % 8)) & 1 : bytes[c];
    if (!CheckIndex(p, index, error)) return false;
    SetDot(grid, row, c, ConversionDark(bits, index));
  }
  return true;
}

bool ParseHeader(const unsigned char* h, Picture& p, std::string& error) {
  p.pixelOffset = Le32(h + 10);
  p.infoSize = Le32(h + 14);
  auto width = static_cast<std::int32_t>(Le32(h + 18));
  auto height = static_cast<std::int32_t>(Le32(h + 22));
  if (width <= 0 || height == 0 || height == INT32_MIN) {
    error = "the picture has no pixels";
    return false;
  }
  BmpInfo& info = p.info;
  info.width = width;
  info.height = height < 0 ? -height : height;
  info.bottomUp = height > 0;
  info.bitsPerPixel = h[28] | (h[29] << 8);
  p.compression = Le32(h + 30);
  p.coloursUsed = Le32(h + 46);
  // Rows are padded to whole 32-bit words.
  info.stride = (static_cast<std::int64_t>(width) * info.bitsPerPixel + 31) / 32 * 4;
  return true;
}

// What the conversion cannot read is refused before anything is built from it.
bool CheckConvertible(const Picture& p, std::string& error) {
  const int bits = p.info.bitsPerPixel;
  if (p.infoSize < kInfoHeaderBytes) {
    error = "its header is of an older form that cannot be read";
  } else if (bits != 1 && bits != 8 && bits != 24) {
    error = "it has " + std::to_string(bits) +
            " bits per pixel (only 1, 8 and 24 bits per pixel can be converted)";
  } else if (p.compression != kUncompressed) {
    error = "it is compressed (only uncompressed pictures can be converted)";
  } else {
    return true;
  }
  return false;
}

// Where the colour table starts: right behind the headers.
std::int64_t TableOffset(const Picture& p) { return 14 + static_cast<std::int64_t>(p.infoSize); }

// The pixels must start behind the headers and the colour table, or headers and colours would be
// read as pixels (an offset of 0 makes the file's own header the top rows).
bool CheckPixelOffset(const Picture& p, std::string& error) {
  const std::int64_t tableEnd = TableOffset(p) + 4 * static_cast<std::int64_t>(p.colours.count);
  if (p.pixelOffset < TableOffset(p)) {
    error = "its pixel data would start inside its headers";
  } else if (p.pixelOffset < tableEnd) {
    error = "its colour table is shorter than the " + std::to_string(p.colours.count) +
            " colours it must hold";
  } else {
    return true;
  }
  return false;
}

// The table follows the info header; a picture may list fewer entries than its depth allows.
bool ReadColourTable(std::FILE* in, Picture& p, std::string& error) {
  const int most = 1 << p.info.bitsPerPixel;
  const bool listed = p.coloursUsed > 0 && p.coloursUsed < static_cast<std::uint32_t>(most);
  p.colours.count = listed ? static_cast<int>(p.coloursUsed) : most;
  if (!CheckPixelOffset(p, error)) return false;
  unsigned char entries[256 * 4];
  const auto tableBytes = static_cast<std::size_t>(4 * p.colours.count);
  if (ReadAt(in, TableOffset(p), entries, tableBytes) < tableBytes) {
    error = "the picture is cut short";
    return false;
  }
  for (int i = 0; i < p.colours.count; ++i) {
    const unsigned char* e = entries + 4 * i;
    p.colours.dark[static_cast<std::size_t>(i)] = IsDark(e[0], e[1], e[2]);
  }
  return true;
}

// An 8-bit picture is converted by its indices whatever its table says; when the table shows
// colour 0 dark, the title will look the other way round from the picture on screen.
std::string InvertedWarning(const Picture& p) {
  if (p.info.bitsPerPixel != 8 || p.colours.count == 0 || !p.colours.dark[0]) return {};
  return "its colour 0 is dark, but the display leaves colour 0 clear and sets every other "
         "colour: the title comes out inverted";
}

bool ReadRows(std::FILE* in, const Picture& p, PixelGrid& grid, std::string& error) {
  const BmpInfo& info = p.info;
  // A header may claim more rows than any file holds; the offset of its last row must still be
  // a number before we seek to it.
  if (info.stride > (std::numeric_limits<std::int64_t>::max() - p.pixelOffset) / info.height) {
    error = "the picture is cut short";
    return false;
  }
  const int wanted =
      static_cast<int>(std::min<std::int64_t>(info.stride, BytesForGrid(info.bitsPerPixel)));
  unsigned char row[3 * PixelGrid::kSide];
  for (int r = 0; r < std::min(info.height, PixelGrid::kSide); ++r) {
    std::int64_t fileRow = info.bottomUp ? info.height - 1 - r : r;
    if (ReadAt(in, p.pixelOffset + fileRow * info.stride, row, static_cast<std::size_t>(wanted)) <
        static_cast<std::size_t>(wanted)) {
      error = "the picture is cut short";
      return false;
    }
    if (!DecodeRow(row, wanted, p, grid, r, error)) return false;
  }
  return true;
}

}  // namespace

bool ReadBmpFile(const std::string& path, PixelGrid& grid, BmpInfo& info, std::string& error) {
  grid = PixelGrid{};
  FileFault fault = FileFault::None;
  const FileHandle file = OpenRegularFile(path, fault);
  if (!file) {
    error = fault == FileFault::NotRegular ? "it " + FileFaultText(fault) : "could not be opened";
    return false;
  }
  std::FILE* in = file.get();
  unsigned char header[kHeaderBytes] = {};
  const std::size_t got = std::fread(header, 1, kHeaderBytes, in);
  if (got < 2 || header[0] != 'B' || header[1] != 'M') {
    error = "not a BMP picture";
    return false;
  }
  if (got < kHeaderBytes) {
    error = "the picture is cut short";
    return false;
  }
  Picture picture;
  if (!ParseHeader(header, picture, error) || !CheckConvertible(picture, error)) return false;
  if (picture.info.bitsPerPixel == 24 && !CheckPixelOffset(picture, error)) return false;
  if (picture.info.bitsPerPixel != 24 && !ReadColourTable(in, picture, error)) return false;
  picture.info.warning = InvertedWarning(picture);
  info = picture.info;
  if (ReadRows(in, picture, grid, error)) return true;
  grid = PixelGrid{};  // nothing half-read is left for a caller that ignores the refusal
  return false;
}

}  // namespace molvane
