#include "pages/fleet_cart_rows.h"

#include <algorithm>
#include <cctype>
#include <tuple>

#include "base/cart_time.h"

namespace molvane {
namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

bool Contains(const std::string& text, const std::string& lowerPart) {
  return Lower(text).find(lowerPart) != std::string::npos;
}

std::string PcTimeText(std::int64_t seconds) {
  return seconds == 0 ? "-" : LocalTimeText(seconds).substr(0, 16);
}

// The column's value as a sort key: numbers by value, texts by their lower case.
std::tuple<std::int64_t, std::string> SortKey(const FleetCartRow& row, FleetColumn column) {
  switch (column) {
    case FleetColumn::SerialNumber:
      return {0, Lower(row.serialNumber)};
    case FleetColumn::Name:
      return {0, Lower(row.name)};
    case FleetColumn::Firmware:
      return {0, Lower(FleetCellText(row, column))};
    case FleetColumn::LastSeen:
      return {row.lastSeen, {}};
    case FleetColumn::Pins:
      return {row.pinCount.value_or(-1), {}};
    case FleetColumn::OldestPin:
      return {row.oldestPinDays.value_or(-1), {}};
    case FleetColumn::LastBackup:
      return {row.lastBackup, {}};
    case FleetColumn::ArchivedEvents:
      return {row.archivedEvents, {}};
  }
  return {};
}

}  // namespace

FleetCartRow MakeFleetCartRow(const CartSummary& cart, std::int64_t now) {
  FleetCartRow row;
  row.serialNumber = cart.identity.serialNumber;
  row.name = cart.identity.name;
  row.firmware = cart.identity.firmware;
  row.lastSeen = cart.lastSeen;
  if (cart.pinsRead != 0) {
    row.pinCount = static_cast<int>(cart.pinActivationTimes.size());
    if (!cart.pinActivationTimes.empty()) {
      row.oldestPinDays = AgeInDays(
          now, *std::min_element(cart.pinActivationTimes.begin(), cart.pinActivationTimes.end()));
    }
  }
  row.lastBackup = cart.lastBackup ? cart.lastBackup->at : 0;
  row.archivedEvents = cart.archivedEvents;
  return row;
}

const char* FleetColumnTitle(FleetColumn column) {
  static constexpr const char* kTitles[kFleetColumnCount] = {
      "Serial Number",     "Name",        "Firmware",       "Last Seen", "PINs",
      "Oldest PIN (days)", "Last Backup", "Archived Events"};
  return kTitles[static_cast<int>(column)];
}

std::string FleetCellText(const FleetCartRow& row, FleetColumn column) {
  switch (column) {
    case FleetColumn::SerialNumber:
      return row.serialNumber;
    case FleetColumn::Name:
      return row.name;
    case FleetColumn::Firmware: {
      // The boards the cart has, in the Setup page's order; an absent board shows nothing.
      std::string text;
      for (const std::string& version : row.firmware) {
        if (version.empty()) continue;
        if (!text.empty()) text += " / ";
        text += version;
      }
      return text;
    }
    case FleetColumn::LastSeen:
      return PcTimeText(row.lastSeen);
    case FleetColumn::Pins:
      return row.pinCount ? std::to_string(*row.pinCount) : "-";
    case FleetColumn::OldestPin:
      return row.oldestPinDays ? std::to_string(*row.oldestPinDays) : "-";
    case FleetColumn::LastBackup:
      return PcTimeText(row.lastBackup);
    case FleetColumn::ArchivedEvents:
      return std::to_string(row.archivedEvents);
  }
  return {};
}

bool FleetRowMatches(const FleetCartRow& row, const FleetFilter& filter, std::int64_t now) {
  if (!filter.text.empty()) {
    const std::string part = Lower(filter.text);
    bool found = Contains(row.serialNumber, part) || Contains(row.name, part);
    for (const std::string& version : row.firmware) found = found || Contains(version, part);
    if (!found) return false;
  }
  if (!filter.firmwareNot.empty()) {
    const std::string version = Lower(filter.firmwareNot);
    for (const std::string& board : row.firmware) {
      if (Lower(board) == version) return false;
    }
  }
  if (filter.pinsOlderThanDays &&
      !(row.oldestPinDays && *row.oldestPinDays > *filter.pinsOlderThanDays)) {
    return false;
  }
  if (filter.notSeenForDays && row.lastSeen != 0 &&
      AgeInDays(now, row.lastSeen) <= *filter.notSeenForDays) {
    return false;
  }
  return true;
}

void SortFleetRows(std::vector<FleetCartRow>& rows, FleetColumn column, bool ascending) {
  std::stable_sort(rows.begin(), rows.end(),
                   [column, ascending](const FleetCartRow& a, const FleetCartRow& b) {
                     const auto ka = SortKey(a, column), kb = SortKey(b, column);
                     if (ka != kb) return ascending ? ka < kb : kb < ka;
                     return a.serialNumber < b.serialNumber;
                   });
}

}  // namespace molvane
