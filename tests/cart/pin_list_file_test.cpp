#include "cart/pin_list_file.h"

#include <gtest/gtest.h>

#include "support/local_zone.h"

using testing_support::kBerlinZone;
using testing_support::LocalZone;
using namespace molvane;

TEST(PinItemInRange, TenDigitsAreCheckedByValueElevenAlwaysFail) {
  EXPECT_TRUE(PinItemInRange("4294967295"));
  EXPECT_FALSE(PinItemInRange("4294967296"));
  EXPECT_FALSE(PinItemInRange("9999999999"));
  EXPECT_TRUE(PinItemInRange("0000000001"));
  EXPECT_FALSE(PinItemInRange("00000000001"));  // eleven characters, small value
  EXPECT_TRUE(PinItemInRange("999999999"));
  EXPECT_TRUE(PinItemInRange("PIN"));
  EXPECT_FALSE(PinItemInRange("PinNumbers1"));
}

TEST(SplitPinFile, TakesTheFirstItemAndTheLeadingPin) {
  const auto lines = SplitPinFile("  0000004711\t2010\t9\r\nPIN\tDate\n\n123abc\n");
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].item, "0000004711");
  EXPECT_TRUE(lines[0].hasPin);
  EXPECT_EQ(lines[0].pin, 4711u);
  EXPECT_EQ(lines[1].item, "PIN");
  EXPECT_FALSE(lines[1].hasPin);
  EXPECT_EQ(lines[2].item, "");
  EXPECT_EQ(lines[3].item, "123abc");
  EXPECT_EQ(lines[3].pin, 123u);
  EXPECT_EQ(lines[3].lineNumber, 4);
}

TEST(SplitPinFile, CrLfAndBareLfGiveTheSameLines) {
  const auto crlf = SplitPinFile("1\r\n2\r\n3");
  const auto lf = SplitPinFile("1\n2\n3\n");
  ASSERT_EQ(crlf.size(), 3u);
  ASSERT_EQ(lf.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(crlf[i].item, lf[i].item);
    EXPECT_EQ(crlf[i].lineNumber, lf[i].lineNumber);
  }
}

TEST(SplitPinFile, LongLinesCountAsSeveralLines) {
  // 253 characters and the line end fill one piece; 254 characters need a second one.
  const std::string fits(253, 'x');
  const std::string spills(254, 'x');
  const std::string twoAndABit(600, 'x');
  EXPECT_EQ(SplitPinFile(fits + "\n5\n")[1].lineNumber, 2);
  EXPECT_EQ(SplitPinFile(spills + "\n5\n")[1].lineNumber, 3);
  EXPECT_EQ(SplitPinFile(spills + "\r\n5\n")[1].lineNumber, 3);
  EXPECT_EQ(SplitPinFile("7" + twoAndABit + "\n5\n")[1].lineNumber, 4);
  // The rest of a long line is never taken for a PIN of its own.
  const auto lines = SplitPinFile("1" + std::string(253, ' ') + "99\n");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].pin, 1u);
}

TEST(PinFileRecord, LargestUnitFirstWithCrLf) {
  LocalZone zone(kBerlinZone);
  const PinEntry entry{4294967295u, 1283929565 - 2 * 3600};  // 2010-09-08 07:06:05 local
  EXPECT_EQ(PinFileRecord(entry), "4294967295\t2010\t9\t8\t7\t6\t5\r\n");
}
