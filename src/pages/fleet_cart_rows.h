#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "fleet/fleet_views.h"

namespace molvane {

// One cart of the fleet window's table, its ages counted on the day the table was read.
struct FleetCartRow {
  std::string serialNumber, name;
  std::array<std::string, 4> firmware;  // main, front, charger or translation, fourth board
  std::int64_t lastSeen = 0;            // PC time; 0: never
  std::optional<int> pinCount;          // nothing: the PIN list was never read
  std::optional<std::int64_t> oldestPinDays;
  std::int64_t lastBackup = 0;  // PC time; 0: never
  std::int64_t archivedEvents = 0;
};

FleetCartRow MakeFleetCartRow(const CartSummary& cart, std::int64_t now);

// The table's columns, in the order shown.
enum class FleetColumn {
  SerialNumber,
  Name,
  Firmware,
  LastSeen,
  Pins,
  OldestPin,
  LastBackup,
  ArchivedEvents
};
inline constexpr int kFleetColumnCount = 8;
const char* FleetColumnTitle(FleetColumn column);
// A cell as the table shows it; "-" for what never happened.
std::string FleetCellText(const FleetCartRow& row, FleetColumn column);

// Which carts the table shows. Every filter given must hold; an empty one holds for all.
struct FleetFilter {
  std::string text;         // in the serial number, name or a firmware version, any case
  std::string firmwareNot;  // no board runs exactly this version (any case)
  std::optional<int> pinsOlderThanDays;  // its oldest PIN is older than this many days
  std::optional<int> notSeenForDays;     // last seen longer ago than this many days, or never
};
bool FleetRowMatches(const FleetCartRow& row, const FleetFilter& filter, std::int64_t now);

// Orders by the column's value (dates and numbers as such, what never happened first), then
// by serial number, so that equal values keep one order.
void SortFleetRows(std::vector<FleetCartRow>& rows, FleetColumn column, bool ascending);

}  // namespace molvane
