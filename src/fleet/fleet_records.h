#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "fleet/archived_event.h"

namespace molvane {

// What the fleet record learns, one value per thing that happened. Each is whole by itself (a
// cart it names is added when the store does not know it yet) and may be applied late, from the
// outbox: whatever it replaces is replaced only by something newer. Times are the PC's, seconds
// since 1970 (UTC).

// A cart as it answered: its serial number is its key in the store.
struct CartIdentity {
  std::string serialNumber;
  std::string name;
  std::array<std::string, 4> firmware;  // main, front, charger or translation, fourth board
  std::array<std::string, 2> hardware;
  std::string powerSupply;  // "ac", "dc" or the cart's own answer
};

// The cart was connected from this PC.
struct CartSeen {
  CartIdentity identity;
  std::string pcName;
  std::int64_t at = 0;
};

// The PIN list as count and ages only: the activation times, never a PIN.
struct PinListSeen {
  std::string serialNumber;
  std::int64_t at = 0;
  std::vector<std::int64_t> activationTimes;
};

// A whole read of the access log.
struct LogArchived {
  std::string serialNumber;
  std::int64_t at = 0;
  std::vector<ArchivedEvent> events;
};

// Work done on the cart: a backup, a restore, a firmware or bitmap update.
struct CartWork {
  enum class Kind { Backup, Restore, Firmware, Bitmap, FactoryTitle };
  std::string serialNumber;
  std::int64_t at = 0;
  Kind kind = Kind::Backup;
  std::string board;   // firmware only: main, front, charger, translation
  std::string file;    // the file written or loaded
  std::string sha256;  // updates: the loaded file's hash, in hex
  bool ok = false;
  std::string outcome;  // the operator's line: the confirmation or the failure
  std::string pcName;
};

// Who a PIN belongs to, from the site's own PIN file.
struct Holder {
  std::uint32_t pin = 0;
  std::string name;
};
struct HoldersNamed {
  std::int64_t at = 0;
  std::vector<Holder> holders;
};

using FleetRecord = std::variant<CartSeen, PinListSeen, LogArchived, CartWork, HoldersNamed>;

// "backup", "restore", "firmware", "bitmap", "title": as the store and the JSON name them.
const char* WorkKindName(CartWork::Kind kind);

}  // namespace molvane
