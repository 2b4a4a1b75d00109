// Reading the fleet record: the carts, and one cart's archived events.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>

#include "base/file_content.h"
#include "fleet/fleet_database.h"
#include "fleet/soci_session.h"

namespace molvane {
namespace {

// Events are read from the database in pages of this many, so an export of millions never holds
// them all.
constexpr int kExportPage = 10000;
constexpr std::int64_t kEarliest = -(std::int64_t{1} << 62);
constexpr std::int64_t kLatest = std::int64_t{1} << 62;

std::vector<std::int64_t> TimesFromText(const std::string& text) {
  std::vector<std::int64_t> times;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find(',', at);
    if (end == std::string::npos) end = text.size();
    times.push_back(std::stoll(text.substr(at, end - at)));
    at = end + 1;
  }
  return times;
}

std::optional<CartWork::Kind> WorkKindFromName(const std::string& name) {
  for (const CartWork::Kind kind :
       {CartWork::Kind::Backup, CartWork::Kind::Restore, CartWork::Kind::Firmware,
        CartWork::Kind::Bitmap, CartWork::Kind::FactoryTitle}) {
    if (name == WorkKindName(kind)) return kind;
  }
  return std::nullopt;
}

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           const auto lower = [](char c) {
             return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
           };
           return lower(x) == lower(y);
         });
}

// Where one cart's events are taken from: the clock window and, for a holder, the PINs.
struct EventFilter {
  long long cartId = 0;
  long long since = kEarliest, until = kLatest;
  std::vector<std::uint32_t> pins;  // empty: every event
  bool holderOnly = false;
};

// One position in a cart's events, in their key order.
struct EventKey {
  long long cartTime = 0;
  int kind = 0;
  long long pin = 0;
  int occurrence = 0;
};

// The filter's events after (or, newest first, before) `from`, at most `limit`.
std::vector<std::pair<EventKey, EventRow>> ReadEvents(soci::session& sql, const EventFilter& filter,
                                                      bool newestFirst,
                                                      const std::optional<EventKey>& from,
                                                      int limit) {
  std::string text =
      "SELECT e.cart_time, e.kind, e.pin, e.occurrence, h.name FROM cart_events e"
      " LEFT JOIN holders h ON e.kind = 1 AND h.pin = e.pin"
      " WHERE e.cart_id = :id AND e.cart_time >= :since AND e.cart_time <= :until";
  if (filter.holderOnly) {
    text += " AND e.kind = 1 AND e.pin IN (";
    for (std::size_t i = 0; i < filter.pins.size(); ++i)
      text += (i == 0 ? "" : ",") + std::to_string(filter.pins[i]);
    text += ")";
  }
  if (from) {
    text += std::string(" AND (e.cart_time, e.kind, e.pin, e.occurrence) ") +
            (newestFirst ? "<" : ">") + " (" + std::to_string(from->cartTime) + "," +
            std::to_string(from->kind) + "," + std::to_string(from->pin) + "," +
            std::to_string(from->occurrence) + ")";
  }
  const char* order = newestFirst ? " DESC" : "";
  text += std::string(" ORDER BY e.cart_time") + order + ", e.kind" + order + ", e.pin" + order +
          ", e.occurrence" + order;
  if (limit > 0) text += " LIMIT " + std::to_string(limit);

  std::vector<std::pair<EventKey, EventRow>> rows;
  EventKey key;
  std::string holder;
  soci::indicator named = soci::i_null;
  long long id = filter.cartId, since = filter.since, until = filter.until;
  soci::statement select =
      (sql.prepare << text, soci::into(key.cartTime), soci::into(key.kind), soci::into(key.pin),
       soci::into(key.occurrence), soci::into(holder, named), soci::use(id, "id"),
       soci::use(since, "since"), soci::use(until, "until"));
  select.execute();
  while (select.fetch()) {
    EventRow row;
    row.cartTime = key.cartTime;
    row.kind = key.kind;
    row.pin = static_cast<std::uint32_t>(key.pin);
    if (named == soci::i_ok) row.holder = holder;
    rows.emplace_back(key, std::move(row));
  }
  return rows;
}

// The filter for a query on a cart already found; false with the reason when it matches nothing.
bool MakeFilter(soci::session& sql, const EventQuery& query, long long cartId, EventFilter& filter,
                std::string& reason) {
  filter.cartId = cartId;
  if (query.since) filter.since = *query.since;
  if (query.until) filter.until = *query.until;
  if (query.holder.empty()) return true;
  filter.holderOnly = true;
  long long pin = 0;
  std::string name;
  soci::statement select =
      (sql.prepare << "SELECT pin, name FROM holders", soci::into(pin), soci::into(name));
  select.execute();
  while (select.fetch()) {
    if (SameName(name, query.holder)) filter.pins.push_back(static_cast<std::uint32_t>(pin));
  }
  if (filter.pins.empty()) {
    reason = "No holder is named \"" + query.holder + "\" in the fleet record.";
    return false;
  }
  return true;
}

struct FoundCart {
  long long id = 0;
  std::string serialNumber, name;
};

// The cart a query names: by serial number, else by a name only one cart has.
std::optional<FoundCart> FindCart(soci::session& sql, const std::string& cart) {
  std::vector<FoundCart> found;
  FoundCart row;
  for (const char* column : {"serial_number", "name"}) {
    soci::statement select =
        (sql.prepare << std::string("SELECT id, serial_number, name FROM carts WHERE ") + column +
                            " = :cart",
         soci::into(row.id), soci::into(row.serialNumber), soci::into(row.name),
         soci::use(cart, "cart"));
    select.execute();
    while (select.fetch()) found.push_back(row);
    if (!found.empty()) break;
  }
  if (found.size() != 1) return std::nullopt;
  return found.front();
}

std::string ExportLine(const std::string& serial, const std::string& name, const EventRow& row) {
  // The cart's date and time as the Log page's export writes them, then the action and holder.
  const std::string stamp = CartClockText(row.cartTime);
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  std::sscanf(stamp.c_str(), "%d-%d-%d %d:%d:%d", &year, &month, &day, &hour, &minute, &second);
  char when[64];
  std::snprintf(when, sizeof when, "%d:%02d:%02d\t%d/%02d/%d", hour, minute, second, month, day,
                year);
  return serial + "\t" + name + "\t" + when + "\t" + EventAction(row.kind, row.pin) + "\t" +
         row.holder + kFileLineEnd;
}

}  // namespace

Result<std::vector<CartSummary>> FleetDatabase::Carts() {
  std::vector<CartSummary> carts;
  try {
    std::map<long long, std::size_t> byId;
    long long id = 0, firstSeen = 0, lastSeen = 0, pinsRead = 0, archived = 0, logRead = 0;
    CartSummary row;
    std::string times;
    CartIdentity& i = row.identity;
    soci::statement select =
        (session->prepare << "SELECT id, serial_number, name, firmware_1, firmware_2, firmware_3,"
                             " firmware_4, hardware_1, hardware_2, power_supply, pc_name,"
                             " first_seen, last_seen, pin_activation_times, pins_read,"
                             " archived_events, log_read FROM carts",
         soci::into(id), soci::into(i.serialNumber), soci::into(i.name), soci::into(i.firmware[0]),
         soci::into(i.firmware[1]), soci::into(i.firmware[2]), soci::into(i.firmware[3]),
         soci::into(i.hardware[0]), soci::into(i.hardware[1]), soci::into(i.powerSupply),
         soci::into(row.pcName), soci::into(firstSeen), soci::into(lastSeen), soci::into(times),
         soci::into(pinsRead), soci::into(archived), soci::into(logRead));
    select.execute();
    while (select.fetch()) {
      row.firstSeen = firstSeen;
      row.lastSeen = lastSeen;
      row.pinsRead = pinsRead;
      row.pinActivationTimes = TimesFromText(times);
      row.archivedEvents = archived;
      row.logRead = logRead;
      byId[id] = carts.size();
      carts.push_back(row);
    }

    // The latest work of each kind on each cart; ties on the second go to the later record id.
    long long cartId = 0, at = 0;
    int ok = 0;
    std::string kind;
    WorkSummary work;
    soci::statement latest =
        (session->prepare << "SELECT w.cart_id, w.kind, w.at, w.board, w.file, w.sha256, w.ok,"
                             " w.outcome FROM cart_works w WHERE NOT EXISTS (SELECT 1 FROM"
                             " cart_works x WHERE x.cart_id = w.cart_id AND x.kind = w.kind AND"
                             " (x.at > w.at OR (x.at = w.at AND x.record_id > w.record_id)))",
         soci::into(cartId), soci::into(kind), soci::into(at), soci::into(work.board),
         soci::into(work.file), soci::into(work.sha256), soci::into(ok), soci::into(work.outcome));
    latest.execute();
    while (latest.fetch()) {
      const auto found = byId.find(cartId);
      const auto workKind = WorkKindFromName(kind);
      if (found == byId.end() || !workKind) continue;
      work.kind = *workKind;
      work.at = at;
      work.ok = ok != 0;
      CartSummary& cart = carts[found->second];
      std::optional<WorkSummary>& slot = work.kind == CartWork::Kind::Backup    ? cart.lastBackup
                                         : work.kind == CartWork::Kind::Restore ? cart.lastRestore
                                                                                : cart.lastUpdate;
      if (!slot || slot->at <= work.at) slot = work;
    }
  } catch (const std::exception& error) {
    return {{}, Failure(error, "could not be read")};
  }
  // One order on both engines, whatever their collation.
  std::sort(carts.begin(), carts.end(), [](const CartSummary& a, const CartSummary& b) {
    return a.identity.serialNumber < b.identity.serialNumber;
  });
  return {std::move(carts), Outcome::Success()};
}

Result<EventPage> FleetDatabase::Events(const EventQuery& query) {
  EventPage page;
  try {
    const std::optional<FoundCart> cart = FindCart(*session, query.cart);
    if (!cart) {
      return {{},
              Outcome::Failure("No cart with the serial number \"" + query.cart +
                               "\" is in the fleet record.")};
    }
    page.serialNumber = cart->serialNumber;
    page.name = cart->name;
    EventFilter filter;
    std::string reason;
    if (!MakeFilter(*session, query, cart->id, filter, reason))
      return {{}, Outcome::Failure(reason)};
    auto rows =
        ReadEvents(*session, filter, true, std::nullopt, query.limit > 0 ? query.limit + 1 : 0);
    if (query.limit > 0 && static_cast<int>(rows.size()) > query.limit) {
      page.more = true;
      rows.pop_back();
    }
    for (auto row = rows.rbegin(); row != rows.rend(); ++row)
      page.events.push_back(std::move(row->second));
  } catch (const std::exception& error) {
    return {{}, Failure(error, "could not be read")};
  }
  const int count = static_cast<int>(page.events.size());
  return {std::move(page), Outcome::Success({}, count, count)};
}

Outcome FleetDatabase::ExportEvents(const EventQuery& query, const std::string& path) {
  if (!IsChosenFile(path)) return Outcome::Failure("No file was named to write the events to.");
  // Written beside the target and renamed over it: a failure leaves no half file.
  const std::string temporary = path + ".part";
  std::FILE* out = std::fopen(temporary.c_str(), "wb");
  if (out == nullptr) return Outcome::Failure("The events could not be written to " + path + ".");
  int written = 0;
  bool ok =
      std::fputs((std::string("Serial\tCart\tTime\tDate\tAction\tHolder") + kFileLineEnd).c_str(),
                 out) >= 0;
  std::string failure;
  try {
    std::vector<FoundCart> carts;
    if (!query.cart.empty()) {
      const std::optional<FoundCart> cart = FindCart(*session, query.cart);
      if (!cart)
        failure = "No cart with the serial number \"" + query.cart + "\" is in the fleet record.";
      else
        carts.push_back(*cart);
    } else {
      FoundCart row;
      soci::statement select =
          (session->prepare << "SELECT id, serial_number, name FROM carts", soci::into(row.id),
           soci::into(row.serialNumber), soci::into(row.name));
      select.execute();
      while (select.fetch()) carts.push_back(row);
      std::sort(carts.begin(), carts.end(), [](const FoundCart& a, const FoundCart& b) {
        return a.serialNumber < b.serialNumber;
      });
    }
    for (const FoundCart& cart : carts) {
      if (!failure.empty() || !ok) break;
      EventFilter filter;
      if (!MakeFilter(*session, query, cart.id, filter, failure)) break;
      std::optional<EventKey> from;
      for (;;) {
        const auto rows = ReadEvents(*session, filter, false, from, kExportPage);
        for (const auto& [key, row] : rows) {
          ok = ok && std::fputs(ExportLine(cart.serialNumber, cart.name, row).c_str(), out) >= 0;
          ++written;
        }
        if (static_cast<int>(rows.size()) < kExportPage || !ok) break;
        from = rows.back().first;
      }
    }
  } catch (const std::exception& error) {
    failure = Failure(error, "could not be read").text;
  }
  ok = std::fclose(out) == 0 && ok;
  std::error_code error;
  if (failure.empty() && ok) {
    std::filesystem::rename(temporary, path, error);
    if (!error) return Outcome::Success({}, written, written);
  }
  std::filesystem::remove(temporary, error);
  return Outcome::Failure(failure.empty() ? "The events could not be written to " + path + "."
                                          : failure);
}

}  // namespace molvane
