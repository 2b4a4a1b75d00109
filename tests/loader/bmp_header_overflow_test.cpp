// Picture headers that claim sizes no file can have, as the fuzzer met them.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "loader/bitmap_command_file.h"
#include "loader/bmp_image.h"
#include "support/temp_dir.h"

namespace {

// 56 bytes: 24-bit pixels, width 0x39393939 and a top-down height of -0x39393939 rows.
const unsigned char kFoundByFuzzer[] = {
    0x42, 0x4d, 0x36, 0x03, 0x00, 0x1e, 0x00, 0x00, 0x74, 0x74, 0x00, 0x75, 0x75, 0x75,
    0x00, 0x76, 0x76, 0x76, 0x00, 0x77, 0x77, 0x77, 0x00, 0x78, 0x78, 0x78, 0x00, 0x00,
    0x18, 0x00, 0x00, 0xdf, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x39, 0x39, 0x39, 0x39,
    0x39, 0x39, 0x39, 0x39, 0x39, 0x39, 0x39, 0x39, 0x39, 0x39, 0x39, 0x39, 0x39, 0x00};

void PutLe32(std::string& bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// A bare 54-byte header with the given size and depth and no pixels behind it.
std::string Header(std::uint32_t width, std::uint32_t height, int bits, std::uint32_t pixelOffset) {
  std::string bytes(54, '\0');
  bytes[0] = 'B';
  bytes[1] = 'M';
  PutLe32(bytes, 10, pixelOffset);
  PutLe32(bytes, 14, 40);
  PutLe32(bytes, 18, width);
  PutLe32(bytes, 22, height);
  bytes[26] = 1;
  bytes[28] = static_cast<char>(bits);
  return bytes;
}

}  // namespace

TEST(BmpHeaderOverflow, HugeClaimedPicturesAreCutShortNotOverflowed) {
  testing_support::TempDir dir;
  const std::string cases[] = {
      std::string(reinterpret_cast<const char*>(kFoundByFuzzer), sizeof kFoundByFuzzer),
      Header(0x7FFFFFFF, 0x7FFFFFFF, 24, 54),          // bottom-up: the last row is read first
      Header(0x7FFFFFFF, 0x80000001, 24, 0xFFFFFFFF),  // top-down, offset at its largest
      Header(0x7FFFFFFF, 0x7FFFFFFF, 1, 0xFFFFFFFF),
  };
  int n = 0;
  for (const std::string& bytes : cases) {
    const std::string path = dir.File("huge" + std::to_string(n++) + ".bmp");
    testing_support::WriteFile(path, bytes);
    molvane::PixelGrid grid;
    molvane::BmpInfo info;
    std::string error;
    EXPECT_FALSE(molvane::ReadBmpFile(path, grid, info, error)) << path;
    // The fuzzer's header also holds a compression code, which is refused before any row.
    const bool compressed = n == 1;
    EXPECT_EQ(error, compressed ? "it is compressed (only uncompressed pictures can be converted)"
                                : "the picture is cut short")
        << path;

    std::string commandPath;
    EXPECT_FALSE(molvane::ConvertBmpToCommandFile(path, 256, 0, commandPath, error)) << path;
    EXPECT_FALSE(std::filesystem::exists(commandPath)) << "no command file from a refused picture";
  }
}
