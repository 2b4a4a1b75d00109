#include "base/cart_time.h"

#include <gtest/gtest.h>

#include "support/local_zone.h"

using testing_support::kBerlinZone;
using testing_support::LocalZone;
using namespace molvane;

namespace {
void ExpectFields(const LocalFields& f, int year, int month, int day, int hour, int minute,
                  int second) {
  EXPECT_EQ(f.year, year);
  EXPECT_EQ(f.month, month);
  EXPECT_EQ(f.day, day);
  EXPECT_EQ(f.hour, hour);
  EXPECT_EQ(f.minute, minute);
  EXPECT_EQ(f.second, second);
}
}  // namespace

TEST(CartTime, ConvertsTheCartOrderAsLocalTime) {
  LocalZone zone("UTC0");
  // 2010-09-08 07:06:05 UTC
  EXPECT_EQ(CartTimeToSeconds({5, 6, 7, 8, 9, 10}), 1283929565);
}

TEST(CartTime, DaylightSavingFollowsTheZoneRules) {
  LocalZone zone(kBerlinZone);
  // Summer: two hours ahead of UTC; winter: one.
  EXPECT_EQ(CartTimeToSeconds({5, 6, 7, 8, 9, 10}), 1283929565 - 2 * 3600);
  EXPECT_EQ(CartTimeToSeconds({0, 0, 12, 1, 1, 9}), 1230811200 - 3600);
  ExpectFields(ToLocalFields(1283929565 - 2 * 3600), 2010, 9, 8, 7, 6, 5);
}

TEST(CartTime, OutOfRangeFieldsAreReplaced) {
  LocalZone zone("UTC0");
  // 60 61 24 0 13 100 -> 2000-01-01 00:00:00
  EXPECT_EQ(CartTimeToSeconds({60, 61, 24, 0, 13, 100}), 946684800);
  EXPECT_EQ(CartTimeToSeconds({59, 59, 23, 32, 0, 0}), 946684800 + 86399);
  const std::uint64_t huge = ~std::uint64_t{0};
  EXPECT_EQ(CartTimeToSeconds({huge, huge, huge, huge, huge, huge}), 946684800);
}

TEST(CartTime, ADayTheMonthLacksRollsOver) {
  LocalZone zone("UTC0");
  ExpectFields(ToLocalFields(CartTimeToSeconds({0, 0, 0, 31, 4, 10})), 2010, 5, 1, 0, 0, 0);
  ExpectFields(ToLocalFields(CartTimeToSeconds({0, 0, 0, 30, 2, 9})), 2009, 3, 2, 0, 0, 0);
}

TEST(CartTime, AgeTruncatesTowardZero) {
  EXPECT_EQ(AgeInDays(86400 * 3 - 1, 0), 2);
  EXPECT_EQ(AgeInDays(0, 86399), 0);  // less than a day ahead is age 0
  EXPECT_EQ(AgeInDays(0, 86400 + 5), -1);
  EXPECT_EQ(AgeInDays(86400 * 40, 0), 40);
  // Extreme activation times saturate rather than wrap around to a young age.
  EXPECT_GT(AgeInDays(1300000000, INT64_MIN), 0);
  EXPECT_LT(AgeInDays(-1300000000, INT64_MAX), 0);
}
