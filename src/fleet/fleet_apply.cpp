// Applying a record to a fleet database: the same statements on both engines.
#include <algorithm>
#include <tuple>

#include "fleet/fleet_database.h"
#include "fleet/fleet_schema.h"
#include "fleet/soci_session.h"

namespace molvane {
namespace {

// Event rows go in a few hundred to a statement: numbers only, written out, so one statement
// carries many rows on either engine.
constexpr std::size_t kEventsPerStatement = 256;

// Columns a sighting sets only when it is at least as new as what the store holds, so that one
// sent late from an outbox does not undo a later visit.
constexpr const char* kIdentityColumns[] = {
    "name",       "firmware_1", "firmware_2",   "firmware_3", "firmware_4",
    "hardware_1", "hardware_2", "power_supply", "pc_name",    "identity_at"};

std::string SightingStatement() {
  std::string text =
      "INSERT INTO carts (serial_number, name, firmware_1, firmware_2, firmware_3, firmware_4,"
      " hardware_1, hardware_2, power_supply, pc_name, identity_at, first_seen, last_seen)"
      " VALUES (:serial, :name, :f1, :f2, :f3, :f4, :h1, :h2, :power, :pc, :at, :first, :last)"
      " ON CONFLICT (serial_number) DO UPDATE SET ";
  for (const char* column : kIdentityColumns) {
    text += std::string(column) +
            " = CASE WHEN excluded.identity_at >= carts.identity_at THEN excluded." + column +
            " ELSE carts." + column + " END, ";
  }
  text +=
      "first_seen = CASE WHEN excluded.first_seen < carts.first_seen THEN excluded.first_seen"
      " ELSE carts.first_seen END,"
      " last_seen = CASE WHEN excluded.last_seen > carts.last_seen THEN excluded.last_seen"
      " ELSE carts.last_seen END";
  return text;
}

std::string TimesText(const std::vector<std::int64_t>& times) {
  std::string text;
  for (const std::int64_t time : times) text += (text.empty() ? "" : ",") + std::to_string(time);
  return text;
}

}  // namespace

std::int64_t FleetDatabase::CartId(const std::string& serialNumber, std::int64_t at) {
  long long seen = at;
  *session << "INSERT INTO carts (serial_number, first_seen, last_seen) VALUES (:serial, :first,"
              " :last) ON CONFLICT (serial_number) DO NOTHING",
      soci::use(serialNumber, "serial"), soci::use(seen, "first"), soci::use(seen, "last");
  long long id = 0;
  *session << "SELECT id FROM carts WHERE serial_number = :serial", soci::into(id),
      soci::use(serialNumber, "serial");
  return id;
}

void FleetDatabase::ApplyRecord(const FleetRecord& record, const std::string& recordId,
                                int& newEvents) {
  soci::session& sql = *session;
  if (const auto* seen = std::get_if<CartSeen>(&record)) {
    const CartIdentity& i = seen->identity;
    long long at = seen->at;
    sql << SightingStatement(), soci::use(i.serialNumber, "serial"), soci::use(i.name, "name"),
        soci::use(i.firmware[0], "f1"), soci::use(i.firmware[1], "f2"),
        soci::use(i.firmware[2], "f3"), soci::use(i.firmware[3], "f4"),
        soci::use(i.hardware[0], "h1"), soci::use(i.hardware[1], "h2"),
        soci::use(i.powerSupply, "power"), soci::use(seen->pcName, "pc"), soci::use(at, "at"),
        soci::use(at, "first"), soci::use(at, "last");
  } else if (const auto* pins = std::get_if<PinListSeen>(&record)) {
    long long id = CartId(pins->serialNumber, pins->at);
    long long at = pins->at;
    int count = static_cast<int>(pins->activationTimes.size());
    const std::string times = TimesText(pins->activationTimes);
    sql << "UPDATE carts SET pin_count = :count, pin_activation_times = :times, pins_read = :at"
           " WHERE id = :id AND pins_read <= :read",
        soci::use(count, "count"), soci::use(times, "times"), soci::use(at, "at"),
        soci::use(id, "id"), soci::use(at, "read");
  } else if (const auto* log = std::get_if<LogArchived>(&record)) {
    const long long id = CartId(log->serialNumber, log->at);
    // In key order, so that two writers of one cart's events wait for each other in turn
    // instead of each holding a row the other needs.
    std::vector<ArchivedEvent> events = log->events;
    std::sort(events.begin(), events.end(), [](const ArchivedEvent& a, const ArchivedEvent& b) {
      return std::tie(a.cartTime, a.kind, a.pin, a.occurrence) <
             std::tie(b.cartTime, b.kind, b.pin, b.occurrence);
    });
    long long added = 0;
    for (std::size_t first = 0; first < events.size(); first += kEventsPerStatement) {
      std::string text =
          "INSERT INTO cart_events (cart_time, pin, cart_id, kind, occurrence) VALUES ";
      const std::size_t last = std::min(events.size(), first + kEventsPerStatement);
      for (std::size_t i = first; i < last; ++i) {
        const ArchivedEvent& e = events[i];
        text += (i == first ? "(" : ",(") + std::to_string(e.cartTime) + "," +
                std::to_string(e.pin) + "," + std::to_string(id) + "," + std::to_string(e.kind) +
                "," + std::to_string(e.occurrence) + ")";
      }
      text += " ON CONFLICT DO NOTHING";
      soci::statement insert = (sql.prepare << text);
      insert.execute(true);
      added += insert.get_affected_rows();
    }
    long long at = log->at;
    long long keyId = id;
    sql << "UPDATE carts SET archived_events = archived_events + :added,"
           " log_read = CASE WHEN log_read < :at THEN :read ELSE log_read END WHERE id = :id",
        soci::use(added, "added"), soci::use(at, "at"), soci::use(at, "read"),
        soci::use(keyId, "id");
    newEvents = static_cast<int>(added);
  } else if (const auto* work = std::get_if<CartWork>(&record)) {
    long long id = CartId(work->serialNumber, work->at);
    long long at = work->at;
    const std::string kind = WorkKindName(work->kind);
    int ok = work->ok ? 1 : 0;
    sql << "INSERT INTO cart_works (record_id, cart_id, at, kind, board, file, sha256, ok,"
           " outcome, pc_name) VALUES (:record, :id, :at, :kind, :board, :file, :sha256, :ok,"
           " :outcome, :pc) ON CONFLICT (record_id) DO NOTHING",
        soci::use(recordId, "record"), soci::use(id, "id"), soci::use(at, "at"),
        soci::use(kind, "kind"), soci::use(work->board, "board"), soci::use(work->file, "file"),
        soci::use(work->sha256, "sha256"), soci::use(ok, "ok"), soci::use(work->outcome, "outcome"),
        soci::use(work->pcName, "pc");
  } else if (const auto* named = std::get_if<HoldersNamed>(&record)) {
    long long pin = 0;
    std::string name;
    long long at = named->at;
    soci::statement upsert =
        (sql.prepare << "INSERT INTO holders (pin, name, named) VALUES (:pin, :name, :at)"
                        " ON CONFLICT (pin) DO UPDATE SET name = excluded.name,"
                        " named = excluded.named WHERE excluded.named >= holders.named",
         soci::use(pin, "pin"), soci::use(name, "name"), soci::use(at, "at"));
    for (const Holder& holder : named->holders) {
      pin = holder.pin;
      name = holder.name;
      upsert.execute(true);
    }
  }
}

Outcome FleetDatabase::Apply(const FleetRecord& record, const std::string& recordId) {
  int newEvents = 0;
  try {
    *session << DialectOf(engine).beginWrite;
    long long now = std::visit([](const auto& r) -> long long { return r.at; }, record);
    soci::statement claim =
        (session->prepare << "INSERT INTO applied_records (record_id, applied) VALUES (:record,"
                             " :at) ON CONFLICT (record_id) DO NOTHING",
         soci::use(recordId, "record"), soci::use(now, "at"));
    claim.execute(true);
    // Taken before: a reply lost on the way left the record in the outbox.
    if (claim.get_affected_rows() > 0) ApplyRecord(record, recordId, newEvents);
    *session << "COMMIT";
  } catch (const std::exception& error) {
    try {
      *session << "ROLLBACK";
    } catch (const std::exception&) {
    }
    return Failure(error, "could not take the record");
  }
  return Outcome::Success({}, newEvents);
}

}  // namespace molvane
