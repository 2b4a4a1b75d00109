#pragma once
#include <cstdint>
#include <string>

namespace molvane {

// The cart's clock as it travels on the wire: second, minute, hour, day, month and year minus
// 2000, in the cart's (and the PC's) local time.
struct CartDateTime {
  std::uint64_t second = 0;
  std::uint64_t minute = 0;
  std::uint64_t hour = 0;
  std::uint64_t day = 1;
  std::uint64_t month = 1;
  std::uint64_t yearSince2000 = 0;
};

// Calendar fields of a moment in the PC's local time; year in full, month 1..12.
struct LocalFields {
  int year = 1970;
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// Seconds since 1970 for a cart date. Fields out of range are replaced first (second, minute,
// hour and year by 0; day and month by 1); a day the month lacks rolls into the next month.
// Daylight saving is left to the PC's time-zone rules.
std::int64_t CartTimeToSeconds(const CartDateTime& cartTime);

// A moment in the PC's local time; the fields of 1970-01-01 00:00:00 when it cannot be shown.
LocalFields ToLocalFields(std::int64_t seconds);

// "YYYY-MM-DD hh:mm:ss" in the PC's local time, for the headers of files people read; with 'T'
// as separator, the ISO 8601 form that scripts sort and parse.
std::string LocalTimeText(std::int64_t seconds, char separator = ' ');
// "YYYY-MM-DD hh:mm:ss" of the fields as they stand, with `separator` between date and time.
std::string FieldsText(const LocalFields& t, char separator = ' ');

// Whole days from `then` to `now`, truncated toward zero; saturates instead of overflowing.
std::int64_t AgeInDays(std::int64_t now, std::int64_t then);

}  // namespace molvane
