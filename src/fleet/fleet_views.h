#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "fleet/fleet_records.h"

namespace molvane {

// What the fleet record tells about its carts and their archived logs.

// The latest work of one kind on a cart.
struct WorkSummary {
  CartWork::Kind kind = CartWork::Kind::Backup;
  std::int64_t at = 0;
  std::string board, file, sha256, outcome;
  bool ok = false;
};

struct CartSummary {
  CartIdentity identity;
  std::string pcName;  // where it was last connected
  std::int64_t firstSeen = 0, lastSeen = 0;
  std::int64_t pinsRead = 0;  // when the PIN list was last read; 0: never
  std::vector<std::int64_t> pinActivationTimes;
  std::int64_t archivedEvents = 0;
  std::int64_t logRead = 0;  // when a log read was last archived; 0: never
  std::optional<WorkSummary> lastBackup, lastRestore, lastUpdate;
};

// Which archived events of one cart: a window of the cart's clock, one holder's PINs, at most
// `limit` of them (0: all). The newest are taken when more match.
struct EventQuery {
  std::string cart;                          // its serial number, or a name only one cart has
  std::optional<std::int64_t> since, until;  // cart clock readings, both ends included
  std::string holder;                        // a holder's name, any case
  int limit = 1000;
};

struct EventRow {
  std::int64_t cartTime = 0;
  int kind = 0;
  std::uint32_t pin = 0;
  std::string holder;  // the name for the PIN of an access, when the directory has one
};

struct EventPage {
  std::string serialNumber, name;
  std::vector<EventRow> events;  // oldest first
  bool more = false;             // older events matched beyond the limit
};

}  // namespace molvane
