#include "base/cart_time.h"

#include <cstdio>
#include <ctime>
#include <limits>

#include "base/local_time.h"

namespace molvane {
namespace {

int InRangeOr(std::uint64_t value, std::uint64_t low, std::uint64_t high, int replacement) {
  return (value < low || value > high) ? replacement : static_cast<int>(value);
}

}  // namespace

std::int64_t CartTimeToSeconds(const CartDateTime& cartTime) {
  std::tm fields{};
  fields.tm_sec = InRangeOr(cartTime.second, 0, 59, 0);
  fields.tm_min = InRangeOr(cartTime.minute, 0, 59, 0);
  fields.tm_hour = InRangeOr(cartTime.hour, 0, 23, 0);
  fields.tm_mday = InRangeOr(cartTime.day, 1, 31, 1);
  fields.tm_mon = InRangeOr(cartTime.month, 1, 12, 1) - 1;
  fields.tm_year = InRangeOr(cartTime.yearSince2000, 0, 99, 0) + 100;
  fields.tm_isdst = -1;
  return static_cast<std::int64_t>(std::mktime(&fields));
}

std::int64_t AgeInDays(std::int64_t now, std::int64_t then) {
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  // Extreme times from a confused cart saturate instead of overflowing.
  if (then < 0 && now > kMax + then) return kMax / 86400;
  if (then > 0 && now < kMin + then) return kMin / 86400;
  return (now - then) / 86400;
}

LocalFields ToLocalFields(std::int64_t seconds) {
  std::tm fields{};
  if (!LocalTime(static_cast<std::time_t>(seconds), fields)) return {};
  return {fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday,
          fields.tm_hour,        fields.tm_min,     fields.tm_sec};
}

std::string LocalTimeText(std::int64_t seconds, char separator) {
  return FieldsText(ToLocalFields(seconds), separator);
}

std::string FieldsText(const LocalFields& t, char separator) {
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d%c%02d:%02d:%02d", t.year, t.month, t.day,
                separator, t.hour, t.minute, t.second);
  return text;
}

}  // namespace molvane
