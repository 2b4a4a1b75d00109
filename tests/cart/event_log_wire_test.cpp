#include <gtest/gtest.h>

#include <filesystem>

#include "cart/event_log.h"
#include "support/local_zone.h"
#include "support/temp_dir.h"
#include "wire_helpers.h"

using testing_support::kBerlinZone;
using testing_support::LocalZone;
using namespace cart_tests;
using testing_support::ReadFile;
using testing_support::TempDir;

namespace {

std::string LogDumpOf(int count) {
  std::string dump;
  for (int i = 0; i < count; ++i) dump += std::to_string(i) + " 1 5 6 7 8 9 10\r\n";
  return dump + ">";
}

}  // namespace

TEST(EventLogWire, DumpFormatsLines) {
  LocalZone zone(kBerlinZone);
  ConnectedController fixture(Answers({{"log_dump",
                                        "1234 1 5 6 7 8 9 10\r\n"
                                        "0 165 0 0 12 1 1 9\r\n"
                                        "0 2 0 0 24 31 4 100\r\n>"}}));
  auto& c = fixture.controller;
  const molvane::Outcome dumped = molvane::DumpLog(c);
  EXPECT_TRUE(dumped) << dumped.text;
  ASSERT_EQ(c.Events().count, 3);
  EXPECT_EQ(molvane::LogLine(c.Events(), 0), "7:06 9/08/2010  accessed pin: 1234");
  EXPECT_EQ(molvane::LogLine(c.Events(), 1), "12:00 1/01/2009  powerup");
  EXPECT_EQ(molvane::LogLine(c.Events(), 2),
            "0:00 5/01/2000  factory reset");  // 31 April rolls into May
  EXPECT_EQ(molvane::LogLine(c.Events(), -1), "");
  EXPECT_EQ(molvane::LogLine(c.Events(), 3), "");
}

TEST(EventLogWire, ADumpOf1030KeepsTheFirst1024) {
  LocalZone zone("UTC0");
  ConnectedController fixture(Answers({{"log_dump", LogDumpOf(1030)}, {"status", "0x01\r"}}));
  EXPECT_TRUE(molvane::DumpLog(fixture.controller));
  ASSERT_EQ(fixture.controller.Events().count, 1024);
  EXPECT_EQ(fixture.controller.Events().entries[1023].action, "accessed pin: 1023");
  EXPECT_EQ(fixture.controller.GetStatus().value, "0x01");
}

TEST(EventLogWire, APromptGluedToARecordIsNotStored) {
  LocalZone zone("UTC0");
  ConnectedController fixture(Answers({{"log_dump", "1 1 5 6 7 8 9 10\r2 1 5 6 7 8 9 10>"}}));
  EXPECT_TRUE(molvane::DumpLog(fixture.controller));
  EXPECT_EQ(fixture.controller.Events().count, 1);
}

// A log cut off may have lost any number of events: nothing of it replaces the log read before.
TEST(EventLogWire, ADumpWithoutItsPromptFailsAndKeepsTheLogReadBefore) {
  LocalZone zone("UTC0");
  ConnectedController fixture(Answers({{"log_dump", "1 1 5 6 7 8 9 10\r\r2 1 5 6 7 8 9 10\r>"}}));
  auto& c = fixture.controller;
  molvane::EventLog before;
  before.entries[0] = {0, "powerup"};
  before.count = 1;
  c.KeepEvents(std::move(before));
  const molvane::Outcome dumped = molvane::DumpLog(c);
  EXPECT_FALSE(dumped);
  EXPECT_EQ(dumped.text, "The cart's list ended without its prompt after 1 record(s).");
  ASSERT_EQ(c.Events().count, 1);
  EXPECT_EQ(c.Events().entries[0].action, "powerup");
}

// A line that is no record was an event all the same: the log read is not the cart's whole log.
TEST(EventLogWire, ALineThatIsNoRecordFailsTheDumpAndKeepsTheLogReadBefore) {
  LocalZone zone("UTC0");
  ConnectedController fixture(
      Answers({{"log_dump", "1 1 5 6 7 8 9 10\r\n98765\r\n2 1 5 6 7 8 9 10\r\n>"}}));
  auto& c = fixture.controller;
  const molvane::Outcome dumped = molvane::DumpLog(c);
  EXPECT_FALSE(dumped);
  EXPECT_EQ(dumped.text,
            "Line 2 of the cart's list could not be read, so the list is incomplete. Read it "
            "again.");
  EXPECT_EQ(c.Events().count, 0);
}

TEST(EventLogExport, WritesHeaderAndTabbedLinesWithCrLf) {
  LocalZone zone(kBerlinZone);
  TempDir dir;
  ConnectedController fixture(
      Answers({{"log_dump", "4711 1 5 6 7 8 9 10\r0 165 0 0 12 1 1 9\r>"}}));
  auto& c = fixture.controller;
  EXPECT_TRUE(molvane::DumpLog(c));
  const std::string path = dir.File("log.xls");
  testing_support::WriteFile(path, "old content that is longer than the new one ......");
  const molvane::Outcome saved = molvane::ExportLog(c.Events(), path);
  ASSERT_TRUE(saved);
  EXPECT_EQ(saved.text, "Log successfully written.");
  EXPECT_EQ(ReadFile(path),
            "Time\tDate\tAction\r\n"
            "7:06:05\t9/08/2010\taccessed pin: 4711\r\n"
            "12:00:00\t1/01/2009\tpowerup\r\n");
}

TEST(EventLogExport, EmptyLogWritesOnlyTheHeader) {
  TempDir dir;
  molvane::CartController c(dir.Path(), dir.Path());
  ASSERT_TRUE(molvane::ExportLog(c.Events(), dir.File("empty.txt")));
  EXPECT_EQ(ReadFile(dir.File("empty.txt")), "Time\tDate\tAction\r\n");
}

TEST(EventLogExport, FailuresAreReportedAndWriteNothing) {
  TempDir home;
  TempDir target;
  molvane::CartController c(home.Path(), home.Path());
  EXPECT_EQ(molvane::ExportLog(c.Events(), "ab").text, "The log could not be written to ab.");
  EXPECT_FALSE(std::filesystem::exists("ab"));
  EXPECT_FALSE(molvane::ExportLog(c.Events(), target.File("missing/log.txt")));
  EXPECT_FALSE(
      molvane::ExportLog(c.Events(), target.Path()));  // a folder is not replaced by a file
  EXPECT_TRUE(std::filesystem::is_directory(target.Path()));
  EXPECT_TRUE(std::filesystem::is_empty(target.Path()));
}
