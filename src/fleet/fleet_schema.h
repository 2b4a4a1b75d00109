#pragma once
#include <string>
#include <vector>

#include "fleet/fleet_database.h"

namespace molvane {

// Where the two engines differ: how a write transaction begins (SQLite takes the file's write
// lock at once, so that two writers queue instead of one failing half-way), how two programs
// creating the schema at once take turns, and how the schema table is looked for.
struct FleetDialect {
  const char* beginWrite;
  const char* beginSchemaChange;
  const char* schemaLock;  // empty: beginning the change is the lock
  const char* schemaTableCount;
};
const FleetDialect& DialectOf(FleetDatabase::Engine engine);

// The statements that bring a schema of `fromVersion` (-1: none at all) to kFleetSchemaVersion,
// the last of them recording the version.
std::vector<std::string> MigrationSteps(FleetDatabase::Engine engine, int fromVersion);

}  // namespace molvane
