#include "cart/cart_time.h"

#include <ctime>
#include <limits>

namespace molvane {
namespace {

int InRangeOr(std::uint64_t value, std::uint64_t low, std::uint64_t high, int replacement) {
  return (value < low || value > high) ? replacement : static_cast<int>(value);
}

#if defined(_WIN32)
bool LocalTm(std::time_t t, std::tm& out) { return localtime_s(&out, &t) == 0; }
#else
bool LocalTm(std::time_t t, std::tm& out) { return localtime_r(&t, &out) != nullptr; }
#endif

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
  std::int64_t difference = 0;
  if (__builtin_sub_overflow(now, then, &difference))
    difference = then < 0 ? std::numeric_limits<std::int64_t>::max()
                          : std::numeric_limits<std::int64_t>::min();
  return difference / 86400;
}

LocalFields ToLocalFields(std::int64_t seconds) {
  std::tm fields{};
  if (!LocalTm(static_cast<std::time_t>(seconds), fields)) return {};
  return {fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday,
          fields.tm_hour,        fields.tm_min,     fields.tm_sec};
}

}  // namespace molvane
