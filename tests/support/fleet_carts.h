#pragma once
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>

#include "fleet/fleet_store.h"

namespace testing_support {

// The PC's "now" of the fleet tests, and the first second of 2024-05-14 on a cart's clock.
inline constexpr std::int64_t kFleetNow = 1733616000;  // 2024-12-08 00:00 UTC
inline constexpr std::int64_t kMay14 = 1715644800;
inline constexpr std::int64_t kDay = 86400;

inline molvane::FleetLocation EmbeddedFleet(const std::string& file) {
  molvane::FleetLocation location;
  location.kind = molvane::FleetLocation::Kind::Embedded;
  location.file = file;
  return location;
}

// An embedded store at `file` holding three carts, recorded as molvanectl records them:
//   MV-1  "Ward 3"    5.20 / 2.1 / 1.4  seen 2 days ago, PINs 100 and 10 days old, backed up,
//                     six events from May 14 to 17 with two holders named;
//   MV-2  "Pharmacy"  5.21 / 2.1        seen 40 days ago, one PIN 20 days old;
//   MV-10 "ICU, East" 5.20              seen yesterday, its PIN list never read.
inline void FillFleet(const std::string& file) {
  molvane::FleetStore store(EmbeddedFleet(file));
  const auto seen = [&](const char* serial, const char* name, std::array<std::string, 4> firmware,
                        std::int64_t daysAgo) {
    molvane::CartIdentity identity{serial, name, firmware, {"B", "C"}, "ac"};
    const auto kept =
        store.Record(molvane::CartSeen{identity, "bench-pc", kFleetNow - daysAgo * kDay});
    ASSERT_TRUE(kept.Safe()) << kept.warning;
  };
  const auto keep = [&](molvane::FleetRecord record) {
    const auto kept = store.Record(std::move(record));
    ASSERT_TRUE(kept.Safe()) << kept.warning;
  };
  seen("MV-1", "Ward 3", {"5.20", "2.1", "1.4", ""}, 2);
  seen("MV-2", "Pharmacy", {"5.21", "2.1", "", ""}, 40);
  seen("MV-10", "ICU, East", {"5.20", "", "", ""}, 1);
  keep(molvane::PinListSeen{
      "MV-1", kFleetNow - 2 * kDay, {kFleetNow - 100 * kDay, kFleetNow - 10 * kDay}});
  keep(molvane::PinListSeen{"MV-2", kFleetNow - 40 * kDay, {kFleetNow - 20 * kDay}});
  molvane::CartWork backup;
  backup.serialNumber = "MV-1";
  backup.at = kFleetNow - 5 * kDay;
  backup.file = "MV-1.bak";
  backup.ok = true;
  backup.outcome = "Backup written.";
  keep(backup);
  keep(molvane::LogArchived{"MV-1",
                            kFleetNow - 2 * kDay,
                            {{kMay14 + 10 * 3600, 1, 1234, 0},
                             {kMay14 + kDay + 8 * 3600, 1, 4321, 0},
                             {kMay14 + kDay + 8 * 3600 + 5, 165, 0, 0},
                             {kMay14 + 2 * kDay, 2, 0, 0},
                             {kMay14 + 2 * kDay + 12 * 3600, 0, 0, 0},
                             {kMay14 + 3 * kDay, 1, 1234, 0}}});
  keep(molvane::HoldersNamed{kFleetNow, {{1234, "Ann Smith"}, {4321, "Smith, \"Bob\""}}});
}

}  // namespace testing_support
