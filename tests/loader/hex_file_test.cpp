#include "loader/hex_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "support/intel_hex.h"
#include "support/temp_dir.h"

using molvane::CheckHexFile;
using molvane::FirmwareImage;
using molvane::ReadHexFile;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

// A data record (or any type) with a correct checksum.
std::string Record(int address, int type, const std::string& dataHex) {
  return testing_support::HexRecord(address, type, dataHex, "\r\n");
}

std::string Repeat(const std::string& byteHex, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += byteHex;
  return text;
}

const std::string kEof = ":00000001FF\r\n";

struct HexFixture : ::testing::Test {
  std::string Write(const std::string& content) {
    std::string path = dir.File("fw.hex");
    WriteFile(path, content);
    return path;
  }
  FirmwareImage Read(const std::string& content, int pageSize = 128) {
    FirmwareImage image;
    image.bytes.fill(0x11);  // nothing of an earlier image may survive
    image.endAddress = 999;
    EXPECT_TRUE(ReadHexFile(Write(content), image));
    molvane::SetPageSize(image, pageSize);
    return image;
  }
  TempDir dir;
};

TEST_F(HexFixture, EmptyFileGivesErasedImageAndOnePage) {
  FirmwareImage image = Read(kEof);
  EXPECT_EQ(image.endAddress, 0);
  EXPECT_EQ(image.pageCount, 0);
  for (std::uint8_t b : image.bytes) ASSERT_EQ(b, 0xFF);
}

TEST_F(HexFixture, RecordIsStoredAtItsAddressAndSetsThePageCount) {
  std::string data;
  for (int i = 0; i < 16; ++i) {
    char two[3];
    std::snprintf(two, sizeof two, "%02X", i + 1);
    data += two;
  }
  FirmwareImage image = Read(Record(0x0100, 0, data) + kEof);
  EXPECT_EQ(image.endAddress, 272);
  EXPECT_EQ(image.pageCount, 2);
  for (int a = 0; a < FirmwareImage::kSize; ++a) {
    int expected = (a >= 0x100 && a < 0x110) ? a - 0x100 + 1 : 0xFF;
    ASSERT_EQ(image.bytes[a], expected) << "address " << a;
  }
}

TEST_F(HexFixture, ImageEndingOnAPageBoundaryCountsAFurtherPage) {
  std::string file;
  for (int a = 0; a < 1024; a += 32) file += Record(a, 0, Repeat("AB", 32));
  FirmwareImage image = Read(file + kEof);
  EXPECT_EQ(image.endAddress, 1024);
  EXPECT_EQ(image.pageCount, 8);
  EXPECT_EQ(image.bytes[1023], 0xAB);
  EXPECT_EQ(image.bytes[1024], 0xFF);
}

TEST_F(HexFixture, ReaderSkipsWhatIsNotADataRecordAndKeepsGoing) {
  std::string file = "\r\n; a comment\r\n" + Record(0x0000, 4, "0000") + Record(0x0010, 0, "ab") +
                     kEof + Record(0x0020, 0, "cD") + Record(0x0030, 5, "00001234") +
                     "garbage:\r\n";
  FirmwareImage image = Read(file);
  EXPECT_EQ(image.bytes[0x10], 0xAB);  // lower case digits
  EXPECT_EQ(image.bytes[0x20], 0xCD);  // after an end-of-file record
  EXPECT_EQ(image.bytes[0x30], 0xFF);  // a type 05 record carries no image data
  EXPECT_EQ(image.endAddress, 0x21);
}

TEST_F(HexFixture, LaterRecordsOverwriteEarlierOnes) {
  FirmwareImage image = Read(Record(0x40, 0, "0102") + Record(0x41, 0, "FF07") + kEof);
  EXPECT_EQ(image.bytes[0x40], 0x01);
  EXPECT_EQ(image.bytes[0x41], 0xFF);
  EXPECT_EQ(image.bytes[0x42], 0x07);
}

TEST_F(HexFixture, ReaderKeepsBytesOfARecordWithAWrongChecksum) {
  FirmwareImage image = Read(":0100500042FF\r\n");
  EXPECT_EQ(image.bytes[0x50], 0x42);
}

TEST_F(HexFixture, LongRecordIsReadWhole) {
  // 255 bytes make a line of 521 characters; the tail must not be lost.
  FirmwareImage image = Read(Record(0x1000, 0, Repeat("5A", 255)) + kEof);
  EXPECT_EQ(image.bytes[0x1000 + 254], 0x5A);
  EXPECT_EQ(image.endAddress, 0x1000 + 255);
  EXPECT_TRUE(CheckHexFile(dir.File("fw.hex")).ok);
}

TEST_F(HexFixture, ReaderNeverWritesPastTheImage) {
  FirmwareImage image = Read(Record(0xFFF0, 0, Repeat("77", 32)));
  EXPECT_EQ(image.bytes[0xFFFF], 0x77);
  EXPECT_EQ(image.endAddress, FirmwareImage::kSize);
}

TEST_F(HexFixture, WellFormedFileIsAccepted) {
  std::string file = Record(0, 2, "0000") + Record(0, 4, "0000") + Record(0x10, 0, "0102") + kEof +
                     Record(0x20, 0, "03") + Record(0, 3, "00000000") + Record(0, 5, "00000000") +
                     "\r\n" + Record(0xFFF0, 0, Repeat("00", 16));
  molvane::HexCheck check = CheckHexFile(Write(file));
  EXPECT_TRUE(check.ok) << check.message;
}

struct RefusedCase {
  const char* name;
  std::string content;
  int line;
};

TEST_F(HexFixture, FaultyFilesAreRefusedNamingFileAndLine) {
  const RefusedCase cases[] = {
      {"wrong checksum", Record(0, 0, "00") + ":0100500042FF\r\n", 2},
      {"not hex", ":01005000GGFF\r\n", 1},
      {"too short", ":0100\r\n", 1},
      {"count disagrees with length", Record(0, 0, "00") + ":02000000AAFE\r\n", 2},
      {"unknown type", Record(0, 6, "00"), 1},
      {"past the image",
       Record(0, 0, "00") + Record(0, 0, "11") + Record(0xFFF8, 0, Repeat("00", 9)), 3},
      {"upper linear address", Record(0, 4, "0001") + Record(0, 0, "00"), 1},
      {"upper segment address", Record(0, 2, "1000"), 1},
      {"extended record of odd size", Record(0, 4, "000000"), 1},
  };
  for (const RefusedCase& c : cases) {
    std::string path = Write(c.content);
    molvane::HexCheck check = CheckHexFile(path);
    EXPECT_FALSE(check.ok) << c.name;
    EXPECT_NE(check.message.find(path), std::string::npos) << c.name << ": " << check.message;
    EXPECT_NE(check.message.find("line " + std::to_string(c.line) + ":"), std::string::npos)
        << c.name << ": " << check.message;
  }
}

// A file without data would send one erased page: the board's first page wiped, reported as an
// update. A read that fails part-way is no end of the file either.
TEST_F(HexFixture, FilesWithoutDataOrNotReadToTheirEndAreRefused) {
  for (const std::string& content :
       {std::string(), std::string("release notes\r\n"), kEof, ":0000000000\r\n" + kEof}) {
    const std::string path = Write(content);
    const molvane::HexCheck check = CheckHexFile(path);
    EXPECT_FALSE(check.ok) << content;
    EXPECT_EQ(check.message, "Firmware file " + path + " holds no firmware data. Update refused.");
  }
  const molvane::HexCheck folder = CheckHexFile(dir.Path());
  EXPECT_FALSE(folder.ok);
  EXPECT_EQ(folder.message,
            "Firmware file " + dir.Path() +
                " is not a regular file (a FIFO, a device or a folder). Update refused.");
  FirmwareImage image;
  EXPECT_FALSE(ReadHexFile(dir.Path(), image));
}

TEST_F(HexFixture, MissingFileIsRefusedByName) {
  std::string path = dir.File("absent.hex");
  molvane::HexCheck check = CheckHexFile(path);
  EXPECT_FALSE(check.ok);
  EXPECT_NE(check.message.find(path), std::string::npos);
  FirmwareImage image;
  EXPECT_FALSE(ReadHexFile(path, image));
}

}  // namespace
