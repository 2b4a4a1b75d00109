#pragma once
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <memory>
#include <string>

#include "fleet/fleet_store.h"
#include "support/temp_dir.h"
// A server of the test's own is started with POSIX programs and users: the Windows build tests
// the embedded file alone (tests/CMakeLists.txt says which).
#if MOLVANE_TEST_SERVER
#include "support/postgres_server.h"
#else
namespace testing_support {
class PostgresServer {
 public:
  bool Running() const { return false; }
  std::string Failure() const { return "no PostgreSQL server in this build"; }
  std::string Uri() const { return {}; }
  std::string Psql(const std::string&) const { return {}; }
};
}  // namespace testing_support
#endif

namespace fleet_testing {

enum class Engine { Sqlite, Postgres };

inline void PrintTo(Engine engine, std::ostream* out) {
  *out << (engine == Engine::Sqlite ? "SQLite" : "PostgreSQL");
}

inline std::string EngineName(const testing::TestParamInfo<Engine>& info) {
  return info.param == Engine::Sqlite ? "Sqlite" : "Postgres";
}

// A fresh fleet store on either engine: a file in a temporary folder, or a server of the
// test's own with that folder's file as its outbox.
struct StoreOn {
  explicit StoreOn(Engine engine) {
    if (engine == Engine::Postgres) server = std::make_unique<testing_support::PostgresServer>();
  }
  bool Ready() const { return !server || server->Running(); }
  std::string Failure() const { return server ? server->Failure() : std::string(); }
  molvane::FleetLocation Location() const {
    molvane::FleetLocation location;
    location.kind =
        server ? molvane::FleetLocation::Kind::Server : molvane::FleetLocation::Kind::Embedded;
    location.file = dir.File("fleet.db");
    if (server) location.serverUri = server->Uri();
    return location;
  }
  std::unique_ptr<molvane::FleetStore> Open() const {
    return std::make_unique<molvane::FleetStore>(Location());
  }
  // Runs SQL on the store with the engine's own client, as another program would; the first
  // column of the rows it gives, one line each.
  std::string Sql(const std::string& sql) const;

  testing_support::TempDir dir;
  std::unique_ptr<testing_support::PostgresServer> server;
};

inline std::string StoreOn::Sql(const std::string& sql) const {
  if (server) return server->Psql(sql);
  sqlite3* db = nullptr;
  std::string rows;
  if (sqlite3_open(Location().file.c_str(), &db) == SQLITE_OK) {
    sqlite3_exec(
        db, sql.c_str(),
        [](void* out, int, char** values, char**) {
          *static_cast<std::string*>(out) += std::string(values[0] ? values[0] : "") + "\n";
          return 0;
        },
        &rows, nullptr);
  }
  sqlite3_close(db);
  return rows;
}

}  // namespace fleet_testing
