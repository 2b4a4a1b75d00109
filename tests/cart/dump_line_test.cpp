#include <gtest/gtest.h>

#include <string>
#include <vector>

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

// One garbled byte must never pass for a record: it would be a PIN or an event made up.
TEST(DumpLines, LinesThatAreNoRecordAreRefusedAndLeaveTheRecordAlone) {
  const std::vector<std::string> pinLines = {
      "1234 5 6 7 8 9",        // six numbers
      "1234 5 6 7 8 9 10 11",  // eight
      "12x4 5 6 7 8 9 10",     // a garbled digit
      "1234 5 6 7 8 9 1p",     // ... in the last field, after seven numbers' worth
      "1234 5 6`7 8 9 10",     // a garbled blank
      "",
      "pin_list_dump",
      "4294967296 5 6 7 8 9 10"};  // no 32-bit PIN
  for (const std::string& line : pinLines) {
    PinEntry entry{77, 5};
    EXPECT_FALSE(ParsePinDumpLine(line, entry)) << line;
    EXPECT_EQ(entry.pin, 77u) << line;
    EXPECT_EQ(entry.activationTime, 5) << line;
  }
  for (const char* line : {"98765", "1234 1 5 6 7 8 9", "1234 1 5 6 7 8 9 10 11",
                           "1234 1 5 6 7 8 9 1p", "garbage", ""}) {
    LogRecord record;
    record.fields[0] = 77;
    EXPECT_FALSE(ParseLogDumpLine(line, record)) << line;
    EXPECT_EQ(record.fields[0], 77u) << line;
  }
  // Blanks around and between the numbers are still a record.
  PinEntry entry;
  EXPECT_TRUE(ParsePinDumpLine(" 1234  5 6 7 8 9 10 ", entry));
  EXPECT_EQ(entry.pin, 1234u);
}

TEST(LogDumpLine, ActionTextsByEventCode) {
  LocalZone zone("UTC0");
  LogRecord record;
  ASSERT_TRUE(ParseLogDumpLine("0 165 0 0 12 1 1 9", record));
  LogEntry entry = MakeLogEntry(record);
  EXPECT_EQ(entry.action, "powerup");
  EXPECT_EQ(entry.eventTime, 1230811200);
  ASSERT_TRUE(ParseLogDumpLine("0 2 0 0 12 1 1 9", record));
  EXPECT_EQ(ActionText(record), "factory reset");
  ASSERT_TRUE(ParseLogDumpLine("0 3 0 0 12 1 1 9", record));
  EXPECT_EQ(ActionText(record), "invalid event");
  ASSERT_TRUE(ParseLogDumpLine("3000000000 1 0 0 12 1 1 9", record));
  EXPECT_EQ(ActionText(record), "accessed pin: 3000000000");
}
