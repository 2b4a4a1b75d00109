#include "fleet/fleet_database.h"

#if MOLVANE_FLEET_SERVER
#include <soci/postgresql/soci-postgresql.h>
#endif
#include <soci/sqlite3/soci-sqlite3.h>

#include <cstdio>
#include <cstring>
#include <string_view>

#include "fleet/fleet_location.h"
#include "fleet/fleet_schema.h"
#include "fleet/owner_only_file.h"
#include "fleet/soci_session.h"

namespace molvane {
namespace {

// A server that does not answer is given this long, and a statement waiting on another
// writer's lock this long: recording never holds the cart work up for more.
#if MOLVANE_FLEET_SERVER
constexpr const char* kConnectTimeoutSeconds = "5";
constexpr const char* kServerSettings[] = {"SET client_min_messages = warning",
                                           "SET lock_timeout = 5000",
                                           "SET statement_timeout = 15000"};
#endif
// Two processes writing the embedded file at once take turns for up to this long.
constexpr const char* kSqliteSettings[] = {"PRAGMA busy_timeout = 2000",
                                           "PRAGMA synchronous = NORMAL"};

constexpr std::string_view kSqliteHeader{"SQLite format 3\0", 16};

// The first line of a SOCI failure, without the statement it quotes.
std::string ErrorText(const std::exception& error) {
  std::string text = error.what();
  if (const auto* soci = dynamic_cast<const soci::soci_error*>(&error))
    text = soci->get_error_message();
  const std::string prefix = "Cannot establish connection to the database.";
  if (text.rfind(prefix, 0) == 0) text = text.substr(prefix.size());
  while (!text.empty() && (text.front() == '\n' || text.front() == ' ')) text.erase(0, 1);
  const std::size_t end = text.find('\n');
  if (end != std::string::npos) text.resize(end);
  while (!text.empty() && (text.back() == '.' || text.back() == ' ')) text.pop_back();
  return text.empty() ? "no reason given" : text;
}

// What a file at `path` holds before SQLite is let near it: a store, nothing yet, or something
// else, which is left untouched.
enum class FileKind { Missing, Empty, Sqlite, Other };
FileKind KindOfFile(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return FileKind::Missing;
  char header[16] = {};
  const std::size_t got = std::fread(header, 1, sizeof header, file);
  std::fclose(file);
  if (got == 0) return FileKind::Empty;
  return got == sizeof header && std::string_view(header, got) == kSqliteHeader ? FileKind::Sqlite
                                                                                : FileKind::Other;
}

#if MOLVANE_FLEET_SERVER
// The URI with what the store needs of a connection, unless it says otherwise: a bounded
// connection time-out, and a name the server's activity view shows.
std::string ServerConnectString(const std::string& uri) {
  std::string connect = uri;
  const auto add = [&](const char* key, const char* value) {
    if (connect.find(std::string(key) + "=") != std::string::npos) return;
    connect += connect.find('?') == std::string::npos ? '?' : '&';
    connect += std::string(key) + "=" + value;
  };
  add("connect_timeout", kConnectTimeoutSeconds);
  add("application_name", "molvane");
  return connect;
}
#endif

}  // namespace

FleetDatabase::FleetDatabase(std::unique_ptr<soci::session> session, Engine engine,
                             std::string shown)
    : session(std::move(session)), engine(engine), shown(std::move(shown)) {}

FleetDatabase::~FleetDatabase() = default;

Result<std::unique_ptr<FleetDatabase>> FleetDatabase::OpenFile(const std::string& path) {
  const FileKind kind = KindOfFile(path);
  if (kind == FileKind::Other) {
    return {nullptr, Outcome::Failure("The fleet store " + path +
                                      " is not an SQLite database; it was left as it is.")};
  }
  if (kind == FileKind::Missing && !MakeOwnerOnlyFile(path)) {
    return {nullptr, Outcome::Failure("The fleet store " + path + " could not be made.")};
  }
  std::unique_ptr<FleetDatabase> database;
  try {
    // SOCI reads "key=value" pairs only from a text that has an equals sign: a plain path is
    // taken whole.
    const std::string connect = path.find('=') == std::string::npos ? path : "db=\"" + path + "\"";
    auto session = std::make_unique<soci::session>(soci::sqlite3, connect);
    for (const char* setting : kSqliteSettings) *session << setting;
    // Readers and one writer at a time, without blocking each other.
    std::string mode;
    *session << "PRAGMA journal_mode = WAL", soci::into(mode);
    database.reset(new FleetDatabase(std::move(session), Engine::Sqlite, path));
  } catch (const std::exception& error) {
    return {nullptr, Outcome::Failure("The fleet store " + path +
                                      " could not be opened: " + ErrorText(error) + ".")};
  }
  Outcome migrated = database->Migrate();
  if (!migrated) return {nullptr, migrated};
  return {std::move(database), Outcome::Success()};
}

Result<std::unique_ptr<FleetDatabase>> FleetDatabase::OpenServer(const std::string& uri) {
  const std::string shown = ShownServer(uri);
#if !MOLVANE_FLEET_SERVER
  // The Windows build is linked without SOCI's PostgreSQL backend.
  return {nullptr, Outcome::Failure("The fleet server " + shown +
                                    " cannot be used: this build of Molvane keeps the fleet "
                                    "record in its own file only, not on a PostgreSQL server.")};
#else
  std::unique_ptr<FleetDatabase> database;
  try {
    auto session = std::make_unique<soci::session>(soci::postgresql, ServerConnectString(uri));
    for (const char* setting : kServerSettings) *session << setting;
    database.reset(new FleetDatabase(std::move(session), Engine::Postgres, shown));
  } catch (const std::exception& error) {
    return {nullptr, Outcome::Failure("The fleet server " + shown + " could not be reached: " +
                                      WithoutPassword(ErrorText(error), uri) + ".")};
  }
  Outcome migrated = database->Migrate();
  if (!migrated) return {nullptr, migrated};
  return {std::move(database), Outcome::Success()};
#endif
}

bool FleetDatabase::Alive() { return session->is_connected(); }

Outcome FleetDatabase::Failure(const std::exception& error, const std::string& doing) {
  const char* what = engine == Engine::Sqlite ? "The fleet store " : "The fleet server ";
  return Outcome::Failure(what + shown + " " + doing + ": " + ErrorText(error) + ".");
}

Outcome FleetDatabase::Migrate() {
  const FleetDialect& dialect = DialectOf(engine);
  try {
    *session << dialect.beginSchemaChange;
    if (dialect.schemaLock[0] != '\0') *session << dialect.schemaLock;
    int tables = 0;
    *session << dialect.schemaTableCount, soci::into(tables);
    int version = 0;
    if (tables > 0) *session << "SELECT version FROM fleet_schema", soci::into(version);
    if (version > kFleetSchemaVersion) {
      *session << "ROLLBACK";
      return Outcome::Failure(
          std::string(engine == Engine::Sqlite ? "The fleet store " : "The fleet server ") + shown +
          " has schema version " + std::to_string(version) + ", newer than this program's " +
          std::to_string(kFleetSchemaVersion) + "; it was left as it is.");
    }
    for (const std::string& statement : MigrationSteps(engine, tables > 0 ? version : -1))
      *session << statement;
    *session << "COMMIT";
  } catch (const std::exception& error) {
    try {
      *session << "ROLLBACK";
    } catch (const std::exception&) {
    }
    return Failure(error, "could not be prepared");
  }
  return Outcome::Success();
}

Outcome FleetDatabase::KeepBack(const std::string& recordId, const std::string& text,
                                std::int64_t at) {
  try {
    long long kept = at;
    *session << "INSERT INTO outbox (record_id, kept, body) VALUES (:id, :kept, :body)"
                " ON CONFLICT (record_id) DO NOTHING",
        soci::use(recordId, "id"), soci::use(kept, "kept"), soci::use(text, "body");
  } catch (const std::exception& error) {
    return Failure(error, "could not keep the record back");
  }
  return Outcome::Success();
}

Result<std::vector<FleetDatabase::KeptRecord>> FleetDatabase::KeptBack() {
  std::vector<KeptRecord> kept;
  try {
    KeptRecord row;
    soci::statement select =
        (session->prepare << "SELECT record_id, body FROM outbox ORDER BY position",
         soci::into(row.recordId), soci::into(row.text));
    select.execute();
    while (select.fetch()) kept.push_back(row);
  } catch (const std::exception& error) {
    return {{}, Failure(error, "could not read its outbox")};
  }
  return {std::move(kept), Outcome::Success()};
}

Outcome FleetDatabase::Forget(const std::string& recordId) {
  try {
    *session << "DELETE FROM outbox WHERE record_id = :id", soci::use(recordId, "id");
  } catch (const std::exception& error) {
    return Failure(error, "could not empty its outbox");
  }
  return Outcome::Success();
}

}  // namespace molvane
