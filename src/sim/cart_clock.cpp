#include "sim/cart_clock.h"

#include <charconv>
#include <cstdio>
#include <ctime>

namespace cartsim {
namespace {

constexpr std::int64_t kSecondsPerDay = 86400;
// Days from 1970-01-01 to 2000-01-01.
constexpr std::int64_t kEpoch2000Days = 10957;

bool IsLeapYear(int fullYear) {
  return (fullYear % 4 == 0 && fullYear % 100 != 0) || fullYear % 400 == 0;
}

int DaysInMonth(int fullYear, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(fullYear) ? 29 : kDays[month - 1];
}

// Proleptic Gregorian day count relative to 1970-01-01 (H. Hinnant's civil algorithms).
std::int64_t DaysFromCivil(std::int64_t y, int m, int d) {
  y -= m <= 2 ? 1 : 0;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yoe = y - era * 400;
  const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(std::int64_t z, std::int64_t& y, int& m, int& d) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = yoe + era * 400 + (m <= 2 ? 1 : 0);
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  const std::int64_t q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

CartSeconds HostLocalAsCartSeconds(std::int64_t hostSeconds) {
  const std::time_t t = static_cast<std::time_t>(hostSeconds);
  std::tm local{};
  if (localtime_r(&t, &local) == nullptr) return hostSeconds - kEpoch2000Days * kSecondsPerDay;
  CartDate date{local.tm_sec % 60, local.tm_min,     local.tm_hour,
                local.tm_mday,     local.tm_mon + 1, local.tm_year - 100};
  return SecondsFromCartDate(date);
}

}  // namespace

bool IsValidCartDate(const CartDate& date) {
  if (date.second < 0 || date.second > 59 || date.minute < 0 || date.minute > 59) return false;
  if (date.hour < 0 || date.hour > 23 || date.year < 0 || date.year > 99) return false;
  if (date.month < 1 || date.month > 12) return false;
  return date.day >= 1 && date.day <= DaysInMonth(2000 + date.year, date.month);
}

CartSeconds SecondsFromCartDate(const CartDate& date) {
  const std::int64_t days = DaysFromCivil(2000 + date.year, date.month, date.day) - kEpoch2000Days;
  return days * kSecondsPerDay + date.hour * 3600 + date.minute * 60 + date.second;
}

CartDate CartDateFromSeconds(CartSeconds seconds) {
  const std::int64_t days = FloorDiv(seconds, kSecondsPerDay);
  const std::int64_t rest = seconds - days * kSecondsPerDay;
  CartDate date;
  std::int64_t fullYear = 2000;
  CivilFromDays(days + kEpoch2000Days, fullYear, date.month, date.day);
  date.year = static_cast<int>(fullYear - 2000);
  date.hour = static_cast<int>(rest / 3600);
  date.minute = static_cast<int>(rest / 60 % 60);
  date.second = static_cast<int>(rest % 60);
  return date;
}

std::string FormatCartDate(const CartDate& date) {
  char text[64];
  std::snprintf(text, sizeof text, "%d %d %d %d %d %d", date.second, date.minute, date.hour,
                date.day, date.month, date.year);
  return text;
}

std::optional<CartDate> ParseCartDate(std::string_view text) {
  int fields[6];
  const char* at = text.data();
  const char* end = text.data() + text.size();
  for (int& field : fields) {
    while (at < end && *at == ' ') ++at;
    const auto result = std::from_chars(at, end, field);
    if (result.ec != std::errc() || (result.ptr < end && *result.ptr != ' ')) return std::nullopt;
    at = result.ptr;
  }
  while (at < end && *at == ' ') ++at;
  if (at != end) return std::nullopt;
  const CartDate date{fields[0], fields[1], fields[2], fields[3], fields[4], fields[5]};
  if (!IsValidCartDate(date)) return std::nullopt;
  return date;
}

std::int64_t SystemHostNow() { return static_cast<std::int64_t>(std::time(nullptr)); }

CartClock::CartClock(HostClock hostNowSource) : hostNow(std::move(hostNowSource)) {
  const std::int64_t host = hostNow();
  offset = HostLocalAsCartSeconds(host) - host;
}

CartSeconds CartClock::Now() const { return hostNow() + offset; }

void CartClock::Set(const CartDate& date) { offset = SecondsFromCartDate(date) - hostNow(); }

}  // namespace cartsim
