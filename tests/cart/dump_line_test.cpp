#include <gtest/gtest.h>

#include "cart/log_dump_line.h"
#include "cart/pin_dump_line.h"
#include "support/local_zone.h"

using testing_support::LocalZone;
using namespace molvane;

TEST(PinDumpLine, ReadsPinAndCartTime) {
  LocalZone zone("UTC0");
  PinEntry entry;
  ASSERT_TRUE(ParsePinDumpLine("4294967295 5 6 7 8 9 10", entry));
  EXPECT_EQ(entry.pin, 4294967295u);
  EXPECT_EQ(entry.activationTime, 1283929565);
  ASSERT_TRUE(ParsePinDumpLine("2147483648 60 61 24 0 13 100", entry));
  EXPECT_EQ(entry.pin, 2147483648u);
  EXPECT_EQ(entry.activationTime, 946684800);
}

TEST(PinDumpLine, LinesThatAreNoRecordLeaveTheEntryAlone) {
  PinEntry entry{77, 5};
  EXPECT_FALSE(ParsePinDumpLine("1234 5 6 7 8 9", entry));  // six numbers
  EXPECT_FALSE(ParsePinDumpLine("", entry));
  EXPECT_FALSE(ParsePinDumpLine("pin_list_dump", entry));
  EXPECT_FALSE(ParsePinDumpLine("4294967296 5 6 7 8 9 10", entry));  // no 32-bit PIN
  EXPECT_EQ(entry.pin, 77u);
  EXPECT_EQ(entry.activationTime, 5);
}

TEST(LogDumpLine, ActionTextsByEventCode) {
  LocalZone zone("UTC0");
  LogRecord record;
  ApplyLogDumpLine("0 165 0 0 12 1 1 9", record);
  LogEntry entry = MakeLogEntry(record);
  EXPECT_EQ(entry.action, "powerup");
  EXPECT_EQ(entry.eventTime, 1230811200);
  ApplyLogDumpLine("0 2", record);
  EXPECT_EQ(ActionText(record), "factory reset");
  ApplyLogDumpLine("0 3", record);
  EXPECT_EQ(ActionText(record), "invalid event");
  ApplyLogDumpLine("3000000000 1", record);
  EXPECT_EQ(ActionText(record), "accessed pin: 3000000000");
}

TEST(LogDumpLine, ShortLinesCarryTheRestOfThePreviousLine) {
  LocalZone zone("UTC0");
  LogRecord record;
  ApplyLogDumpLine("1234 1 5 6 7 8 9 10", record);
  ApplyLogDumpLine("98765", record);
  const LogEntry entry = MakeLogEntry(record);
  EXPECT_EQ(entry.action, "accessed pin: 98765");
  EXPECT_EQ(entry.eventTime, 1283929565);
}

TEST(LogDumpLine, AFirstLineWithoutFieldsStartsFromZeros) {
  LocalZone zone("UTC0");
  LogRecord record;
  ApplyLogDumpLine("garbage", record);
  const LogEntry entry = MakeLogEntry(record);
  EXPECT_EQ(entry.action, "invalid event");
  EXPECT_EQ(entry.eventTime, 946684800);  // day and month 0 read as the 1st of January 2000
}
