#include "pages/fleet_events_csv.h"

#include <string_view>

#include "base/file_content.h"
#include "fleet/archived_event.h"

namespace molvane {
namespace {

constexpr int kAccessCode = 1;
constexpr int kFactoryResetCode = 2;
constexpr int kPowerUpCode = 165;

}  // namespace

std::string CsvField(const std::string& outside) {
  // Names come from PIN files anyone may have written: one that starts as a formula would be
  // run by the spreadsheet that opens the export, so it is kept as text.
  const bool formula = !outside.empty() &&
                       std::string_view("=+-@\t\r").find(outside.front()) != std::string_view::npos;
  const std::string text = formula ? "'" + outside : outside;
  const bool quoted = text.find_first_of(",\"\r\n") != std::string::npos ||
                      (!text.empty() && (text.front() == ' ' || text.back() == ' '));
  if (!quoted) return text;
  std::string field = "\"";
  for (const char c : text) {
    if (c == '"') field += '"';
    field += c;
  }
  return field + '"';
}

bool IsEventOfKind(int code, FleetEventKind kind) {
  switch (kind) {
    case FleetEventKind::All:
      return true;
    case FleetEventKind::Access:
      return code == kAccessCode;
    case FleetEventKind::PowerUp:
      return code == kPowerUpCode;
    case FleetEventKind::FactoryReset:
      return code == kFactoryResetCode;
    case FleetEventKind::Other:
      return code != kAccessCode && code != kPowerUpCode && code != kFactoryResetCode;
  }
  return false;
}

std::string FleetEventWord(const EventRow& row) {
  return row.kind == kAccessCode ? "access" : EventAction(row.kind, row.pin);
}

std::string FleetEventsCsv(const std::string& serialNumber, const std::string& name,
                           const std::vector<EventRow>& events) {
  std::string text = std::string("Serial Number,Name,Time,Event,PIN,Holder") + kFileLineEnd;
  const std::string cart = CsvField(serialNumber) + "," + CsvField(name) + ",";
  for (const EventRow& row : events) {
    text += cart + CartClockText(row.cartTime) + "," + CsvField(FleetEventWord(row)) + "," +
            (row.kind == kAccessCode ? std::to_string(row.pin) : std::string()) + "," +
            CsvField(row.holder) + kFileLineEnd;
  }
  return text;
}

}  // namespace molvane
