#include <gtest/gtest.h>

#include <filesystem>

#include "base/clock.h"
#include "cart/pin_list.h"
#include "cart/pin_list_file.h"
#include "support/local_zone.h"
#include "support/temp_dir.h"
#include "wire_helpers.h"

using testing_support::kBerlinZone;
using testing_support::LocalZone;
using namespace cart_tests;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

constexpr std::int64_t kNow = 1300000000;

class PinFileWire : public testing::Test {
 protected:
  void SetUp() override {
    molvane::SetClockForTest([] { return kNow; });
  }
  void TearDown() override { molvane::SetClockForTest({}); }
  LocalZone zone{kBerlinZone};
  TempDir dir;
};

std::vector<std::string> AddsOf(const std::vector<std::string>& lines) {
  std::vector<std::string> adds;
  for (const auto& line : lines)
    if (line.rfind("pin_list_add ", 0) == 0) adds.push_back(line.substr(13));
  return adds;
}

}  // namespace

TEST_F(PinFileWire, ImportChecksEachTenDigitItemOnItsOwnValue) {
  ConnectedController fixture(AlwaysAnswer(">"));
  const std::string path = dir.File("pins.txt");
  WriteFile(path, "4294967295\r\n0000000042\t2010\t9\r\nPIN\tYear\n  77\n");
  const molvane::Outcome imported = molvane::ImportPinList(fixture.controller, path);
  EXPECT_TRUE(imported) << imported.text;
  EXPECT_EQ(imported.done, 3);
  EXPECT_EQ(imported.total, 3);
  const std::vector<std::string> expected = {"4294967295", "42", "77"};
  EXPECT_EQ(AddsOf(fixture.cart.Lines()), expected);
  ASSERT_EQ(fixture.controller.Pins().count, 3);
  EXPECT_EQ(fixture.controller.Pins().entries[2].activationTime, kNow);
}

TEST_F(PinFileWire, AnItemOutOfRangeRejectsTheWholeFile) {
  const std::vector<std::pair<std::string, std::string>> files = {
      {"1\n2\n4294967296\n",
       "A value of 4294967296 is out of range in line 3 of %s must be less "
       "than 4294967296!"},
      {"00000000001\n",
       "A value of 00000000001 is out of range in line 1 of %s must be less "
       "than 4294967296!"},
      {"PinNumbers1\r\n5\r\n",
       "A value of PinNumbers1 is out of range in line 1 of %s must be "
       "less than 4294967296!"},
  };
  for (const auto& [content, pattern] : files) {
    ConnectedController fixture(AlwaysAnswer(">"));
    const std::string path = dir.File("bad.xls");
    WriteFile(path, content);
    const molvane::Outcome imported = molvane::ImportPinList(fixture.controller, path);
    EXPECT_FALSE(imported);
    std::string expected = pattern;
    expected.replace(expected.find("%s"), 2, path);
    EXPECT_EQ(imported.text, expected);
    EXPECT_TRUE(fixture.cart.RawBytes().empty());
    EXPECT_EQ(fixture.controller.Pins().count, 0);
  }
}

TEST_F(PinFileWire, AMissingFileIsReportedAndSendsNothing) {
  ConnectedController fixture(AlwaysAnswer(">"));
  const std::string path = dir.File("nowhere.txt");
  const molvane::Outcome missing = molvane::ImportPinList(fixture.controller, path);
  EXPECT_FALSE(missing);
  EXPECT_EQ(missing.text, "Could not open " + path + ".");
  const molvane::Outcome folder = molvane::ImportPinList(fixture.controller, dir.Path());
  EXPECT_FALSE(folder) << "a folder reads as no file";
  EXPECT_EQ(folder.text, "The file " + dir.Path() +
                             " is not a regular file (a FIFO, a device or a folder). Nothing was "
                             "imported.");
  EXPECT_TRUE(fixture.cart.RawBytes().empty());
}

TEST_F(PinFileWire, EmptyFileAddsNothingAndSucceeds) {
  ConnectedController fixture(AlwaysAnswer(">"));
  WriteFile(dir.File("empty.txt"), "");
  WriteFile(dir.File("words.txt"), "PIN\r\nnone here\r\n");
  for (const char* name : {"empty.txt", "words.txt"}) {
    const molvane::Outcome imported = molvane::ImportPinList(fixture.controller, dir.File(name));
    EXPECT_TRUE(imported) << name << ": " << imported.text;
    EXPECT_EQ(imported.text, "") << name;
    EXPECT_EQ(imported.total, 0) << name;
  }
  EXPECT_TRUE(fixture.cart.RawBytes().empty());
}

TEST_F(PinFileWire, ExportWritesLocalFieldsLargestFirst) {
  molvane::PinList list;
  list.entries[0] = {4294967295u, 1283929565 - 2 * 3600};  // 2010-09-08 07:06:05 local
  list.entries[1] = {7, 946684800 - 3600};                 // 2000-01-01 00:00:00 local
  list.count = 2;
  const molvane::Outcome saved = molvane::ExportPinList(list, dir.File("out.xls"));
  ASSERT_TRUE(saved);
  EXPECT_EQ(saved.text, "Pin List Saved Successfully.");
  EXPECT_EQ(saved.done, 2);
  EXPECT_EQ(ReadFile(dir.File("out.xls")),
            "4294967295\t2010\t9\t8\t7\t6\t5\r\n7\t2000\t1\t1\t0\t0\t0\r\n");
  list.count = 0;
  ASSERT_TRUE(molvane::ExportPinList(list, dir.File("out.xls")));
  EXPECT_EQ(ReadFile(dir.File("out.xls")), "");
}

TEST_F(PinFileWire, ExportToAFileThatCannotBeMadeFails) {
  molvane::PinList list;
  list.entries[0] = {1, 0};
  list.count = 1;
  const std::string path = dir.File("no/such/folder/out.xls");
  const molvane::Outcome saved = molvane::ExportPinList(list, path);
  EXPECT_FALSE(saved);
  EXPECT_EQ(saved.text, "Error: the pin list could not be written to " + path);
  EXPECT_FALSE(molvane::ExportPinList(list, ""));
  EXPECT_FALSE(std::filesystem::exists(dir.File("no")));
}

TEST_F(PinFileWire, AnExportedListImportsBackIntoAnotherCart) {
  ConnectedController first(Answers({{"pin_list_dump",
                                      "3000000001 5 6 7 8 9 10\r\n"
                                      "12 0 0 0 1 1 9\r\n"
                                      "0 59 59 23 31 12 99\r\n>"}}));
  ASSERT_TRUE(molvane::DumpPinList(first.controller));
  ASSERT_EQ(first.controller.Pins().count, 3);
  const std::string path = dir.File("copy.xls");
  ASSERT_TRUE(molvane::ExportPinList(first.controller.Pins(), path));

  ConnectedController second(AlwaysAnswer(">"));
  molvane::PinList already;  // on the second cart
  already.entries[0] = {12, 0};
  already.count = 1;
  second.controller.KeepPins(already);
  const molvane::Outcome imported = molvane::ImportPinList(second.controller, path);
  EXPECT_TRUE(imported) << imported.text;
  EXPECT_EQ(imported.done, 2);
  EXPECT_EQ(imported.total, 3);
  const std::vector<std::string> expected = {"3000000001", "0"};
  EXPECT_EQ(AddsOf(second.cart.Lines()), expected);
  EXPECT_EQ(second.controller.Pins().count, 3);
}

TEST_F(PinFileWire, AHugeOrBinaryFileIsRefusedWithAShortPrintableMessage) {
  ConnectedController fixture(AlwaysAnswer(">"));
  const std::string huge = dir.File("huge.txt");
  WriteFile(huge, std::string(1024 * 1024 + 1, '7'));
  const molvane::Outcome tooLarge = molvane::ImportPinList(fixture.controller, huge);
  EXPECT_FALSE(tooLarge);
  EXPECT_EQ(tooLarge.text, "The file " + huge +
                               " is larger than 1 MiB, more than any PIN list can be. Nothing "
                               "was imported.");

  const std::string binary = dir.File("photo.jpg");
  WriteFile(binary, "\x1b]0;owned\x07" + std::string(200000, 'x') + "\n");
  const molvane::Outcome unreadable = molvane::ImportPinList(fixture.controller, binary);
  EXPECT_FALSE(unreadable);
  EXPECT_EQ(unreadable.text,
            "A value of ?]0;owned?xxxxxxxxxxxxxx... is out of range in line 1 of " + binary +
                " must be less than 4294967296!");
  EXPECT_TRUE(fixture.cart.RawBytes().empty());
}
