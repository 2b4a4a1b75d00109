#include "title/title_surface.h"

namespace molvane {
namespace {

// BMP numbers are little-endian whatever the machine.
void Put16(std::string& out, std::uint32_t value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

void Put32(std::string& out, std::uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

void PutHeader(std::string& out, const BitmapInfoHeader& h) {
  Put32(out, h.size);
  Put32(out, static_cast<std::uint32_t>(h.width));
  Put32(out, static_cast<std::uint32_t>(h.height));
  Put16(out, h.planes);
  Put16(out, h.bitCount);
  Put32(out, h.compression);
  Put32(out, h.imageSize);
  Put32(out, static_cast<std::uint32_t>(h.xPelsPerMeter));
  Put32(out, static_cast<std::uint32_t>(h.yPelsPerMeter));
  Put32(out, h.colorsUsed);
  Put32(out, h.colorsImportant);
}

}  // namespace

TitleSurface::TitleSurface() {
  header.size = BitmapInfoHeader::kSize;
  header.width = kWidth;
  header.height = kHeight;
  header.planes = 1;
  header.bitCount = kBitsPerPixel;
  header.compression = 0;
  header.imageSize = kImageBytes;
}

Rgb TitleSurface::At(int x, int y) const {
  if (!Inside(x, y)) return kWhite;
  const int at = Offset(x, y);
  return Rgb{pixels[at + 2], pixels[at + 1], pixels[at]};
}

void TitleSurface::Set(int x, int y, Rgb colour) {
  if (!Inside(x, y)) return;
  const int at = Offset(x, y);
  pixels[at] = colour.blue;
  pixels[at + 1] = colour.green;
  pixels[at + 2] = colour.red;
}

void TitleSurface::Fill(Rgb colour) {
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) Set(x, y, colour);
  }
}

std::string TitleFileContent(const TitleSurface& surface) {
  const std::uint32_t offset = kBmpFileHeaderBytes + BitmapInfoHeader::kSize;
  std::string out;
  out.reserve(kTitleFileBytes);
  out += "BM";
  Put32(out, offset + surface.Header().imageSize);
  Put16(out, 0);
  Put16(out, 0);
  Put32(out, offset);
  PutHeader(out, surface.Header());
  out.append(reinterpret_cast<const char*>(surface.Pixels().data()), surface.Pixels().size());
  return out;
}

}  // namespace molvane
