#pragma once
#include <optional>
#include <string>

#include "fleet/fleet_records.h"

namespace molvane {

// A record as the outbox keeps it until the site's server takes it: one JSON text.
std::string RecordText(const FleetRecord& record);
// Nothing for a text that is not a record of this program.
std::optional<FleetRecord> RecordFromText(const std::string& text);

}  // namespace molvane
