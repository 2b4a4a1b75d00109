#include "fleet/archived_event.h"

#include <cstdio>
#include <map>
#include <tuple>

#include "base/cart_time.h"
#include "cart/log_dump_line.h"

namespace molvane {
namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(std::int64_t year, int month, int day) {
  year -= month <= 2 ? 1 : 0;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const std::int64_t yearOfEra = year - era * 400;
  const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

LocalFields CivilFromSeconds(std::int64_t seconds) {
  std::int64_t days = seconds / kSecondsPerDay;
  std::int64_t rest = seconds % kSecondsPerDay;
  if (rest < 0) {
    rest += kSecondsPerDay;
    --days;
  }
  days += 719468;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const std::int64_t dayOfEra = days - era * 146097;
  const std::int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::int64_t monthIndex = (5 * dayOfYear + 2) / 153;
  LocalFields fields;
  fields.day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
  fields.month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
  fields.year = static_cast<int>(yearOfEra + era * 400 + (fields.month <= 2 ? 1 : 0));
  fields.hour = static_cast<int>(rest / 3600);
  fields.minute = static_cast<int>(rest / 60 % 60);
  fields.second = static_cast<int>(rest % 60);
  return fields;
}

std::int64_t SecondsOf(const LocalFields& t) {
  return DaysFromCivil(t.year, t.month, t.day) * kSecondsPerDay + t.hour * 3600 + t.minute * 60 +
         t.second;
}

LogRecord RecordOf(int kind, std::uint32_t pin) {
  LogRecord record;
  record.fields[0] = pin;
  record.fields[1] = static_cast<std::uint64_t>(kind);
  return record;
}

// The kind and PIN an action text was made from, with the cart's own rule for the texts.
void ReadAction(const std::string& action, int& kind, std::uint32_t& pin) {
  kind = 0;
  pin = 0;
  for (const std::uint64_t code : {kEventFactoryReset, kEventPowerUp}) {
    if (action == ActionText(RecordOf(static_cast<int>(code), 0))) {
      kind = static_cast<int>(code);
      return;
    }
  }
  const std::string zeroAccess = ActionText(RecordOf(static_cast<int>(kEventAccess), 0));
  const std::string prefix = zeroAccess.substr(0, zeroAccess.size() - 1);
  if (action.rfind(prefix, 0) != 0) return;
  const std::string digits = action.substr(prefix.size());
  std::uint64_t value = 0;
  if (digits.empty() || digits.size() > 10) return;
  for (const char c : digits) {
    if (c < '0' || c > '9') return;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  if (value > 0xFFFFFFFFull) return;
  kind = static_cast<int>(kEventAccess);
  pin = static_cast<std::uint32_t>(value);
}

}  // namespace

std::vector<ArchivedEvent> ArchivedEvents(const EventLog& log) {
  std::vector<ArchivedEvent> events;
  events.reserve(static_cast<std::size_t>(log.count));
  std::map<std::tuple<std::int64_t, int, std::uint32_t>, int> seen;
  for (int i = 0; i < log.count; ++i) {
    const LogEntry& entry = log.entries[static_cast<std::size_t>(i)];
    ArchivedEvent event;
    // The cart's wall clock as the PC read it, with the zone taken off again.
    event.cartTime = SecondsOf(ToLocalFields(entry.eventTime));
    ReadAction(entry.action, event.kind, event.pin);
    event.occurrence = seen[{event.cartTime, event.kind, event.pin}]++;
    events.push_back(event);
  }
  return events;
}

std::string EventAction(int kind, std::uint32_t pin) { return ActionText(RecordOf(kind, pin)); }

std::string CartClockText(std::int64_t cartTime, char separator) {
  return FieldsText(CivilFromSeconds(cartTime), separator);
}

std::optional<std::int64_t> ParseCartClock(const std::string& text, bool endOfSpan) {
  LocalFields t;
  char separator = 0;
  int consumed = 0;
  const int read =
      std::sscanf(text.c_str(), "%4d-%2d-%2d%n%c%2d:%2d%n:%2d%n", &t.year, &t.month, &t.day,
                  &consumed, &separator, &t.hour, &t.minute, &consumed, &t.second, &consumed);
  if (read < 3 || static_cast<std::size_t>(consumed) != text.size()) return std::nullopt;
  if (read > 3 && separator != 'T' && separator != ' ') return std::nullopt;
  if (read == 4 || read == 5) return std::nullopt;
  if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > 31 || t.hour > 23 || t.minute > 59 ||
      t.second > 59 || t.hour < 0 || t.minute < 0 || t.second < 0) {
    return std::nullopt;
  }
  if (CivilFromSeconds(SecondsOf(t)).day != t.day) return std::nullopt;  // 31 April
  std::int64_t seconds = SecondsOf(t);
  if (endOfSpan && read == 3) seconds += kSecondsPerDay - 1;
  if (endOfSpan && read == 6) seconds += 59;
  return seconds;
}

}  // namespace molvane
