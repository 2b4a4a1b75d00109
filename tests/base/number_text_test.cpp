#include "base/number_text.h"

#include <gtest/gtest.h>

#include <limits>

using namespace molvane;

TEST(TextToInt, ReadsLikeTheCLibrary) {
  EXPECT_EQ(TextToInt("  42abc"), 42);
  EXPECT_EQ(TextToInt("-17"), -17);
  EXPECT_EQ(TextToInt("+8"), 8);
  EXPECT_EQ(TextToInt("\t1"), 1);
  EXPECT_EQ(TextToInt(""), 0);
  EXPECT_EQ(TextToInt("Timeout"), 0);
  EXPECT_EQ(TextToInt("- 5"), 0);
}

TEST(TextToInt, SaturatesInsteadOfOverflowing) {
  EXPECT_EQ(TextToInt("99999999999999999999"), 2147483647);
  EXPECT_EQ(TextToInt("-99999999999999999999"), -2147483647 - 1);
  EXPECT_EQ(TextToInt("-2147483648"), -2147483647 - 1);
}

TEST(TextToPin, KeepsThe32BitRangeExactly) {
  EXPECT_EQ(TextToPin("2147483648"), 2147483648u);
  EXPECT_EQ(TextToPin("4294967295"), 4294967295u);
  EXPECT_EQ(TextToPin("4294967294"), 4294967294u);
  EXPECT_EQ(TextToPin("0000001234"), 1234u);
  EXPECT_EQ(TextToPin("  77 rest"), 77u);
}

TEST(TextToPin, TextWithoutLeadingDigitsIsZeroAndHugeValuesSaturate) {
  EXPECT_EQ(TextToPin("abc"), 0u);
  EXPECT_EQ(TextToPin("-5"), 0u);
  EXPECT_EQ(TextToPin("4294967296"), 4294967295u);
  EXPECT_EQ(TextToPin("123456789012345678901234"), 4294967295u);
}

TEST(ScanUnsignedNumbers, StopsAtTheFirstItemThatIsNoNumber) {
  std::uint64_t v[8] = {};
  EXPECT_EQ(ScanUnsignedNumbers("1 2  3\t4", v, 8), 4);
  EXPECT_EQ(v[2], 3u);
  EXPECT_EQ(ScanUnsignedNumbers("5 6x 7", v, 8), 2);
  EXPECT_EQ(ScanUnsignedNumbers("12 13>", v, 8), 2);
  EXPECT_EQ(ScanUnsignedNumbers("> 1", v, 8), 0);
  EXPECT_EQ(ScanUnsignedNumbers("-1 2", v, 8), 0);
}

TEST(ScanUnsignedNumbers, NeverWritesPastTheGivenCount) {
  std::uint64_t v[3] = {9, 9, 9};
  EXPECT_EQ(ScanUnsignedNumbers("1 2 3 4 5", v, 2), 2);
  EXPECT_EQ(v[1], 2u);
  EXPECT_EQ(v[2], 9u);
}

TEST(LeadingUnsigned, OnlyANumberAtTheStartOfTheLine) {
  std::uint64_t value = 0;
  ASSERT_TRUE(LeadingUnsigned(" \t0000004711\t2010", value));
  EXPECT_EQ(value, 4711u);
  EXPECT_FALSE(LeadingUnsigned("PIN\t1234", value));
  EXPECT_FALSE(LeadingUnsigned("", value));
  EXPECT_FALSE(LeadingUnsigned("+12", value));
}

TEST(TextToFloat, ReadsTheLeadingNumberWithAPointWhateverTheLocaleAndStaysFinite) {
  EXPECT_FLOAT_EQ(TextToFloat("23.51"), 23.51f);
  EXPECT_FLOAT_EQ(TextToFloat("  -1.5 Amps"), -1.5f);
  EXPECT_FLOAT_EQ(TextToFloat("+.5"), 0.5f);
  EXPECT_FLOAT_EQ(TextToFloat("2e1"), 20.0f);
  EXPECT_FLOAT_EQ(TextToFloat("2,5"), 2.0f);  // a comma ends the number, as in the C locale
  for (const char* none : {"", "Amps", "--2", "- 2", "inf", "nan", "."})
    EXPECT_EQ(TextToFloat(none), 0.0f) << none;
  EXPECT_EQ(TextToFloat("1e400"), std::numeric_limits<float>::max());
  EXPECT_EQ(TextToFloat("-1e39"), -std::numeric_limits<float>::max());
  EXPECT_EQ(TextToFloat("1e-400"), 0.0f);
}
