#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/outcome.h"
#include "fleet/fleet_records.h"
#include "fleet/fleet_views.h"

namespace soci {
class session;
}

namespace molvane {

// The schema this program writes. A store of a later one is refused, never changed.
inline constexpr int kFleetSchemaVersion = 1;

// One connection to a fleet database, SQLite or PostgreSQL, with one code path over both: the
// same tables and statements, the engines differing only in how a table's own id is declared
// and how a write transaction begins. Not shared between threads: whoever records (molvanectl,
// the window's cart thread) holds its own.
class FleetDatabase {
 public:
  enum class Engine { Sqlite, Postgres };

  // Opens the file, making it for its owner alone when new, and brings its schema up to date. A
  // file that is no SQLite database or has a later schema is refused with its path and left as
  // it is.
  static Result<std::unique_ptr<FleetDatabase>> OpenFile(const std::string& path);
  // Connects to a site's server (a PostgreSQL URI) and brings its schema up to date. A failure
  // never shows a password.
  static Result<std::unique_ptr<FleetDatabase>> OpenServer(const std::string& uri);
  ~FleetDatabase();
  FleetDatabase(const FleetDatabase&) = delete;
  FleetDatabase& operator=(const FleetDatabase&) = delete;

  Engine GetEngine() const { return engine; }
  // The file or the server, as a message may name it.
  const std::string& Shown() const { return shown; }
  // False once a server connection was lost.
  bool Alive();

  // Applies one record in one transaction, once for its id however often it comes (the
  // outbox may send it again after a reply that was lost). Success's `done` counts the events
  // a log read added.
  Outcome Apply(const FleetRecord& record, const std::string& recordId);

  // The outbox: records waiting for the site's server, oldest first.
  struct KeptRecord {
    std::string recordId, text;
  };
  Outcome KeepBack(const std::string& recordId, const std::string& text, std::int64_t at);
  Result<std::vector<KeptRecord>> KeptBack();
  Outcome Forget(const std::string& recordId);

  Result<std::vector<CartSummary>> Carts();
  Result<EventPage> Events(const EventQuery& query);
  // Every archived event the query picks (its limit aside), of one cart or, with no cart named,
  // of all, as a tab-separated file with CR LF line ends written whole or not at all.
  Outcome ExportEvents(const EventQuery& query, const std::string& path);

 private:
  FleetDatabase(std::unique_ptr<soci::session> session, Engine engine, std::string shown);
  Outcome Migrate();
  Outcome Failure(const std::exception& error, const std::string& doing);
  std::int64_t CartId(const std::string& serialNumber, std::int64_t at);
  void ApplyRecord(const FleetRecord& record, const std::string& recordId, int& newEvents);

  std::unique_ptr<soci::session> session;
  Engine engine;
  std::string shown;
};

}  // namespace molvane
