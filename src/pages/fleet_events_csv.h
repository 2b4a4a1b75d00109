#pragma once
#include <string>
#include <vector>

#include "fleet/fleet_views.h"

namespace molvane {

// A field as a CSV file holds it: quoted, its quotes doubled, when it holds a comma, a quote, a
// line break or blanks at either end; as it is otherwise. A text that a spreadsheet would take
// for a formula (it starts with =, +, -, @ or a control character) gets a leading apostrophe.
std::string CsvField(const std::string& outside);

// The kinds of archived event the log window picks from.
enum class FleetEventKind { All, Access, PowerUp, FactoryReset, Other };
bool IsEventOfKind(int code, FleetEventKind kind);
// "access" for an access, else the Log page's own words ("powerup", "factory reset").
std::string FleetEventWord(const EventRow& row);

// One cart's archived events as a CSV file with a heading line: serial number, name, the cart's
// time, event, PIN and holder, one event a line, each line ended by CR LF.
std::string FleetEventsCsv(const std::string& serialNumber, const std::string& name,
                           const std::vector<EventRow>& events);

}  // namespace molvane
