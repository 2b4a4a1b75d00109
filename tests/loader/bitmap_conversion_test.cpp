#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "app/cart_controller.h"
#include "loader/bitmap_command_file.h"
#include "loader/bitmap_upload.h"
#include "loader/bmp_image.h"
#include "loader/title_bitmap.h"
#include "support/temp_dir.h"
#include "test_pictures.h"

using loader_test::Dark;
using loader_test::MakeBmp;
using molvane::BmpInfo;
using molvane::PixelGrid;
using molvane::TitleBitmap;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

bool Dot(const TitleBitmap& title, int row, int column) {
  return (title.bytes[3 + (row / 8) * 82 + column] >> (row % 8)) & 1;
}

struct ConversionFixture : ::testing::Test {
  TitleBitmap Convert(const std::string& bmp) {
    std::string path = dir.File("pic.bmp");
    WriteFile(path, bmp);
    PixelGrid grid;
    BmpInfo info;
    std::string error;
    EXPECT_TRUE(molvane::ReadBmpFile(path, grid, info, error)) << error;
    return molvane::BuildTitleBitmap(grid, info.height);
  }
  TempDir dir;
};

TEST_F(ConversionFixture, EachDepthAndRowOrderGivesTheSameDots) {
  Dark pattern = [](int r, int c) { return (r * 7 + c * 3) % 5 == 0 || c == 81; };
  for (int bits : {1, 8, 24}) {
    for (int sign : {1, -1}) {
      TitleBitmap title = Convert(MakeBmp(82, 32 * sign, bits, pattern));
      for (int r = 0; r < 32; ++r) {
        for (int c = 0; c < 82; ++c) {
          ASSERT_EQ(Dot(title, r, c), pattern(r, c))
              << bits << " bits, height sign " << sign << ", row " << r << " column " << c;
        }
      }
    }
  }
}

TEST_F(ConversionFixture, BlockHeadAndTailAreFixed) {
  TitleBitmap title = Convert(MakeBmp(82, 32, 24, [](int, int) { return true; }));
  EXPECT_EQ(title.bytes[0], 0);
  EXPECT_EQ(title.bytes[1], 82);
  EXPECT_EQ(title.bytes[2], 4);
  EXPECT_EQ(title.bytes[3], 0xFF);
  EXPECT_EQ(title.bytes[330], 0xFF);
  for (int i = 331; i < 336; ++i) EXPECT_EQ(title.bytes[i], 0) << i;
}

TEST_F(ConversionFixture, Row9Column5LandsInBit1OfByte90) {
  TitleBitmap title = Convert(MakeBmp(82, 32, 1, [](int r, int c) { return r == 9 && c == 5; }));
  for (int i = 3; i < TitleBitmap::kSize; ++i) {
    ASSERT_EQ(title.bytes[i], i == 90 ? 0x02 : 0x00) << "byte " << i;
  }
}

TEST_F(ConversionFixture, GreyLevelsSplitAtMidGrey) {
  std::string bmp = MakeBmp(2, 1, 24, [](int, int) { return false; });
  bmp[54] = bmp[55] = bmp[56] = 100;     // dark grey
  bmp[57] = bmp[58] = bmp[59] = '\xc8';  // light grey
  TitleBitmap title = Convert(bmp);
  EXPECT_TRUE(Dot(title, 0, 0));
  EXPECT_FALSE(Dot(title, 0, 1));
}

TEST_F(ConversionFixture, SmallPictureLeavesUncoveredDotsClear) {
  // A one-bit row of 33 pixels takes 8 bytes; its padding bits are zero and must not turn into
  // dots beyond the picture.
  TitleBitmap title = Convert(MakeBmp(33, 10, 1, [](int, int) { return true; }));
  EXPECT_TRUE(Dot(title, 9, 32));
  EXPECT_FALSE(Dot(title, 9, 33));
  EXPECT_FALSE(Dot(title, 10, 0));
  EXPECT_FALSE(Dot(title, 0, 81));
}

TEST_F(ConversionFixture, OversizedPictureStaysInsideGridAndBlock) {
  TitleBitmap title =
      Convert(MakeBmp(300, -200, 24, [](int r, int c) { return r < 40 && c < 90; }));
  EXPECT_TRUE(Dot(title, 31, 81));
  EXPECT_EQ(title.bytes[331], 0);
}

TEST_F(ConversionFixture, BrokenFilesAreRefused) {
  PixelGrid grid;
  BmpInfo info;
  std::string error;
  std::string path = dir.File("x.bmp");
  WriteFile(path, "PK\x03\x04 not a picture at all, long enough for a header.............");
  EXPECT_FALSE(molvane::ReadBmpFile(path, grid, info, error));
  EXPECT_NE(error.find("not a BMP"), std::string::npos);
  std::string cut = MakeBmp(82, 32, 8, [](int, int) { return true; });
  WriteFile(path, cut.substr(0, cut.size() - 50));
  EXPECT_FALSE(molvane::ReadBmpFile(path, grid, info, error));
  EXPECT_FALSE(molvane::ReadBmpFile(dir.File("absent.bmp"), grid, info, error));
}

TEST_F(ConversionFixture, PicturesTheConversionWouldGarbleAreRefusedWithTheReason) {
  const Dark dots = [](int r, int c) { return (r + c) % 3 == 0; };
  auto patched = [&](int bits, std::size_t at, std::initializer_list<int> bytes) {
    std::string bmp = MakeBmp(82, 32, bits, dots);
    for (int b : bytes) bmp[at++] = static_cast<char>(b);
    return bmp;
  };
  const std::pair<std::string, std::string> cases[] = {
      {MakeBmp(82, 32, 4, dots),
       "it has 4 bits per pixel (only 1, 8 and 24 bits per pixel can "
       "be converted)"},
      {patched(8, 30, {1}), "it is compressed (only uncompressed pictures can be converted)"},
      {patched(24, 14, {12}), "its header is of an older form that cannot be read"},
      // White as colour 0 and black as colour 1: the title would come out inverted.
      {patched(1, 54, {255, 255, 255, 0, 0, 0, 0}),
       "its colour table is not black (colour 0) and white (colour 1)"},
      {patched(1, 46, {1}), "it uses colour 1, which its colour table does not hold"},
      // Offset 0 would read the file's own header as the top rows.
      {patched(24, 10, {0, 0, 0, 0}), "its pixel data would start inside its headers"},
      {patched(8, 10, {53, 0, 0, 0}), "its pixel data would start inside its headers"},
      // Room for 16 colours where 8 bits need 256: the pixels would be read from the table.
      {patched(8, 10, {54 + 64, 0, 0, 0}),
       "its colour table is shorter than the 256 colours it must hold"},
      {patched(1, 10, {58, 0, 0, 0}),
       "its colour table is shorter than the 2 colours it must hold"},
  };
  for (const auto& [bmp, reason] : cases) {
    const std::string path = dir.File("pic.bmp");
    WriteFile(path, bmp);
    PixelGrid grid;
    BmpInfo info;
    std::string error;
    EXPECT_FALSE(molvane::ReadBmpFile(path, grid, info, error)) << reason;
    EXPECT_EQ(error, reason);
  }

  // Before anything is sent, and without a command file left behind.
  molvane::CartController controller(dir.Path(), dir.Path());
  const std::string picture = dir.File("Four.bmp");
  WriteFile(picture, cases[0].first);
  const molvane::Outcome refused = molvane::StartBitmapUpload(
      controller, picture, molvane::BitmapUploadMode::CustomerTitle, 256);
  EXPECT_FALSE(refused);
  EXPECT_EQ(refused.text, "Bitmap " + picture + " was not converted: " + cases[0].second + ".");
  EXPECT_FALSE(controller.IsBusy());
  EXPECT_EQ(ReadFile(dir.File("Four.txt")), "");
}

// Pictures prepared for the display rely on its rule for 8 bits, colour 0 clear and every other
// index set, whatever their table shows; a table that makes the title look inverted is told.
TEST_F(ConversionFixture, EightBitPicturesGoByTheIndexAloneAndAnInvertedTableIsTold) {
  const Dark dots = [](int r, int c) { return (r * 5 + c) % 4 == 0; };
  const auto convert = [&](const std::string& bmp, std::string& warning) {
    WriteFile(dir.File("pic.bmp"), bmp);
    PixelGrid grid;
    BmpInfo info;
    std::string error;
    EXPECT_TRUE(molvane::ReadBmpFile(dir.File("pic.bmp"), grid, info, error)) << error;
    warning = info.warning;
    return molvane::BuildTitleBitmap(grid, info.height);
  };
  std::string inverted = MakeBmp(82, 32, 8, dots);
  for (int c = 0; c < 3; ++c) inverted[54 + c] = 0;               // colour 0 black
  for (int c = 0; c < 3; ++c) inverted[54 + 4 * 7 + c] = '\xff';  // colour 7 white
  std::string listed = MakeBmp(82, 32, 8, dots);
  listed[46] = 2;  // two colours listed, colour 7 used all the same
  for (const std::string* bmp : {&inverted, &listed}) {
    std::string warning;
    const TitleBitmap title = convert(*bmp, warning);
    for (int r = 0; r < 32; ++r) {
      for (int c = 0; c < 82; ++c) ASSERT_EQ(Dot(title, r, c), dots(r, c)) << r << " " << c;
    }
    EXPECT_EQ(warning, bmp == &inverted ? "its colour 0 is dark, but the display leaves colour 0 "
                                          "clear and sets every other colour: the title comes "
                                          "out inverted"
                                        : "");
  }
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (std::size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2) {
    lines.push_back(text.substr(at, end - at));
  }
  return lines;
}

TEST(CommandFile, StartAddressZeroWritesTheWholeBlock) {
  TitleBitmap title;
  title.bytes[1] = 82;
  title.bytes[2] = 4;
  title.bytes[3] = 0xA5;
  title.bytes[335] = 0x3C;
  std::vector<std::string> lines = Lines(molvane::FormatCommandFile(title, 0, 0));
  ASSERT_EQ(lines.size(), 21u);
  EXPECT_EQ(lines[0], "ew 0 005204a5000000000000000000000000");
  EXPECT_EQ(lines[20], "ew 320 0000000000000000000000000000003c");
}

TEST(CommandFile, AddressesFrom587AreLeftOut) {
  TitleBitmap title;
  std::vector<std::string> lines = Lines(molvane::FormatCommandFile(title, 256, 1));
  ASSERT_EQ(lines.size(), 21u);
  EXPECT_EQ(lines[0].rfind("rew 256 ", 0), 0u);
  EXPECT_EQ(lines[20], "rew 576 " + std::string(22, '0'));
  EXPECT_EQ(lines[19].size(), std::string("rew 560 ").size() + 32);
}

TEST_F(ConversionFixture, ConversionWritesTheCommandFileBesideThePicture) {
  std::string picture = dir.File("Title.BMP");
  WriteFile(picture, MakeBmp(82, 32, 1, [](int r, int c) { return r == 0 && c == 0; }));
  std::string commandPath, error;
  ASSERT_TRUE(molvane::ConvertBmpToCommandFile(picture, 0, 0, commandPath, error)) << error;
  EXPECT_EQ(commandPath, dir.File("Title.txt"));
  std::vector<std::string> lines = Lines(ReadFile(commandPath));
  ASSERT_EQ(lines.size(), 21u);
  EXPECT_EQ(lines[0].substr(0, 13), "ew 0 00520401");
}

TEST_F(ConversionFixture, PictureIsNeverOverwrittenNorANonBmpConverted) {
  std::string picture = dir.File("title.png");
  std::string content = MakeBmp(8, 8, 1, [](int, int) { return true; });
  WriteFile(picture, content);
  std::string commandPath, error;
  EXPECT_FALSE(molvane::ConvertBmpToCommandFile(picture, 0, 0, commandPath, error));
  EXPECT_EQ(ReadFile(picture), content);

  std::string fake = dir.File("fake.bmp");
  WriteFile(fake, "hello, this is text and no picture at all .......................");
  EXPECT_FALSE(molvane::ConvertBmpToCommandFile(fake, 0, 0, commandPath, error));
  EXPECT_EQ(ReadFile(dir.File("fake.txt")), "");
}

}  // namespace
