#pragma once
#include <array>
#include <cstdint>
#include <string>

namespace molvane {

// The header that describes a device-independent bitmap's pixels (40 bytes in a file).
struct BitmapInfoHeader {
  static constexpr std::uint32_t kSize = 40;
  std::uint32_t size = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;  // positive: the bottom row is stored first
  std::uint16_t planes = 0;
  std::uint16_t bitCount = 0;
  std::uint32_t compression = 0;
  std::uint32_t imageSize = 0;
  std::int32_t xPelsPerMeter = 0;
  std::int32_t yPelsPerMeter = 0;
  std::uint32_t colorsUsed = 0;
  std::uint32_t colorsImportant = 0;
};

struct Rgb {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  bool operator==(const Rgb&) const = default;
};

inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kBlack{0, 0, 0};

// The customer title as the program draws it: 82 x 32 pixels of 24 bits, uncompressed, rows
// stored bottom row first, each row blue-green-red triples padded to a multiple of four bytes.
// The pixels start black, as fresh bitmap memory does; drawing the title fills them first.
class TitleSurface {
 public:
  static constexpr int kWidth = 82;
  static constexpr int kHeight = 32;
  static constexpr int kBitsPerPixel = 24;
  static constexpr int kRowBytes = ((kWidth * kBitsPerPixel + 31) / 32) * 4;  // 248
  static constexpr int kImageBytes = kRowBytes * kHeight;                     // 7936

  TitleSurface();

  const BitmapInfoHeader& Header() const { return header; }
  const std::array<std::uint8_t, kImageBytes>& Pixels() const { return pixels; }

  // Pixels by position from the top-left corner; positions outside the picture are ignored
  // (Set) or read as white (At), so a caller can never reach the padding or past the end.
  Rgb At(int x, int y) const;
  void Set(int x, int y, Rgb colour);
  void Fill(Rgb colour);

 private:
  static int Offset(int x, int y) { return (kHeight - 1 - y) * kRowBytes + x * 3; }
  static bool Inside(int x, int y) { return x >= 0 && x < kWidth && y >= 0 && y < kHeight; }

  BitmapInfoHeader header;
  std::array<std::uint8_t, kImageBytes> pixels{};
};

// The surface as a BMP file, byte for byte: the 14-byte file header ("BM", the file size, two
// zero words, the pixel offset 54), the 40-byte header and the pixel rows, bottom row first.
inline constexpr int kBmpFileHeaderBytes = 14;
inline constexpr int kTitleFileBytes =
    kBmpFileHeaderBytes + static_cast<int>(BitmapInfoHeader::kSize) + TitleSurface::kImageBytes;
std::string TitleFileContent(const TitleSurface& surface);

}  // namespace molvane
