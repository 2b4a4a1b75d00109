#include <gtest/gtest.h>

#include <filesystem>

#include "base/clock.h"
#include "support/local_zone.h"
#include "support/temp_dir.h"
#include "wire_helpers.h"

using testing_support::LocalZone;
using testing_support::kBerlinZone;
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
  RecordingUi ui;
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
  fixture.controller.SetUi(&ui);
  const std::string path = dir.File("pins.txt");
  WriteFile(path, "4294967295\r\n0000000042\t2010\t9\r\nPIN\tYear\n  77\n");
  EXPECT_TRUE(fixture.controller.ImportPinList(path));
  const std::vector<std::string> expected = {"4294967295", "42", "77"};
  EXPECT_EQ(AddsOf(fixture.cart.Lines()), expected);
  EXPECT_TRUE(ui.boxes.empty());
  ASSERT_EQ(fixture.controller.PinCount(), 3);
  EXPECT_EQ(fixture.controller.Pins().entries[2].activationTime, kNow);
  EXPECT_EQ(ui.cursorDepth, 0);
  EXPECT_GE(ui.cursorShown, 1);
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
    RecordingUi shown;
    fixture.controller.SetUi(&shown);
    const std::string path = dir.File("bad.xls");
    WriteFile(path, content);
    EXPECT_FALSE(fixture.controller.ImportPinList(path));
    std::string expected = pattern;
    expected.replace(expected.find("%s"), 2, path);
    ASSERT_EQ(shown.boxes.size(), 1u);
    EXPECT_EQ(shown.boxes[0].text, expected);
    EXPECT_EQ(shown.boxes[0].caption, "") << "the application's name";
    EXPECT_TRUE(fixture.cart.RawBytes().empty());
    EXPECT_EQ(fixture.controller.PinCount(), 0);
  }
}

TEST_F(PinFileWire, AMissingFileIsReportedAndSendsNothing) {
  ConnectedController fixture(AlwaysAnswer(">"));
  fixture.controller.SetUi(&ui);
  const std::string path = dir.File("nowhere.txt");
  EXPECT_FALSE(fixture.controller.ImportPinList(path));
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].text, "Could not open " + path + ".");
  EXPECT_FALSE(fixture.controller.ImportPinList(dir.Path()));  // a folder reads as no file
  EXPECT_EQ(ui.boxes.size(), 2u);
  EXPECT_TRUE(fixture.cart.RawBytes().empty());
}

TEST_F(PinFileWire, EmptyFileAddsAndShowsNothing) {
  ConnectedController fixture(AlwaysAnswer(">"));
  fixture.controller.SetUi(&ui);
  WriteFile(dir.File("empty.txt"), "");
  WriteFile(dir.File("words.txt"), "PIN\r\nnone here\r\n");
  EXPECT_TRUE(fixture.controller.ImportPinList(dir.File("empty.txt")));
  EXPECT_TRUE(fixture.controller.ImportPinList(dir.File("words.txt")));
  EXPECT_TRUE(ui.boxes.empty());
  EXPECT_TRUE(fixture.cart.RawBytes().empty());
}

TEST_F(PinFileWire, ExportWritesLocalFieldsLargestFirst) {
  molvane::CartController c(dir.Path(), dir.Path());
  c.pinList.entries[0] = {4294967295u, 1283929565 - 2 * 3600};  // 2010-09-08 07:06:05 local
  c.pinList.entries[1] = {7, 946684800 - 3600};                 // 2000-01-01 00:00:00 local
  c.pinList.count = 2;
  ASSERT_TRUE(c.ExportPinList(dir.File("out.xls")));
  EXPECT_EQ(ReadFile(dir.File("out.xls")),
            "4294967295\t2010\t9\t8\t7\t6\t5\r\n7\t2000\t1\t1\t0\t0\t0\r\n");
  c.pinList.count = 0;
  ASSERT_TRUE(c.ExportPinList(dir.File("out.xls")));
  EXPECT_EQ(ReadFile(dir.File("out.xls")), "");
}

TEST_F(PinFileWire, ExportToAFileThatCannotBeMadeFails) {
  molvane::CartController c(dir.Path(), dir.Path());
  c.pinList.entries[0] = {1, 0};
  c.pinList.count = 1;
  EXPECT_FALSE(c.ExportPinList(dir.File("no/such/folder/out.xls")));
  EXPECT_FALSE(c.ExportPinList(""));
  EXPECT_FALSE(std::filesystem::exists(dir.File("no")));
}

TEST_F(PinFileWire, AnExportedListImportsBackIntoAnotherCart) {
  ConnectedController first(Answers({{"pin_list_dump",
                                      "3000000001 5 6 7 8 9 10\r\n"
                                      "12 0 0 0 1 1 9\r\n"
                                      "0 59 59 23 31 12 99\r\n>"}}));
  first.controller.DumpPinList();
  ASSERT_EQ(first.controller.PinCount(), 3);
  const std::string path = dir.File("copy.xls");
  ASSERT_TRUE(first.controller.ExportPinList(path));

  ConnectedController second(AlwaysAnswer(">"));
  second.controller.SetUi(&ui);
  second.controller.pinList.entries[0] = {12, 0};  // already on the second cart
  second.controller.pinList.count = 1;
  EXPECT_TRUE(second.controller.ImportPinList(path));
  EXPECT_TRUE(ui.boxes.empty());
  const std::vector<std::string> expected = {"3000000001", "0"};
  EXPECT_EQ(AddsOf(second.cart.Lines()), expected);
  EXPECT_EQ(second.controller.PinCount(), 3);
}

TEST_F(PinFileWire, AHugeOrBinaryFileIsRefusedWithAShortPrintableMessage) {
  ConnectedController fixture(AlwaysAnswer(">"));
  fixture.controller.SetUi(&ui);
  const std::string huge = dir.File("huge.txt");
  WriteFile(huge, std::string(1024 * 1024 + 1, '7'));
  EXPECT_FALSE(fixture.controller.ImportPinList(huge));
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].text, "The file " + huge +
                                  " is larger than 1 MiB, more than any PIN list can be. Nothing "
                                  "was imported.");

  const std::string binary = dir.File("photo.jpg");
  WriteFile(binary, "\x1b]0;owned\x07" + std::string(200000, 'x') + "\n");
  EXPECT_FALSE(fixture.controller.ImportPinList(binary));
  ASSERT_EQ(ui.boxes.size(), 2u);
  EXPECT_EQ(ui.boxes[1].text,
            "A value of ?]0;owned?xxxxxxxxxxxxxx... is out of range in line 1 of " + binary +
                " must be less than 4294967296!");
  EXPECT_TRUE(fixture.cart.RawBytes().empty());
}
