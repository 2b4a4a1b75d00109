// The fleet record: every cart serviced and its archived access log, read without a cart.
#include <cstdio>
#include <optional>

#include "base/cart_time.h"
#include "base/clock.h"
#include "cli/cli_context.h"
#include "cli/json_output.h"
#include "fleet/fleet_store.h"
#include "fleet/holder_file.h"

namespace molvanectl {
namespace {

using nlohmann::ordered_json;

// A moment of this PC, as the other commands print one; null when it never happened.
ordered_json PcTime(std::int64_t seconds) {
  return seconds == 0 ? ordered_json() : ordered_json(molvane::LocalTimeText(seconds, 'T'));
}

std::string PcTimeText(std::int64_t seconds) {
  return seconds == 0 ? "-" : molvane::LocalTimeText(seconds);
}

ordered_json WorkJson(const std::optional<molvane::WorkSummary>& work) {
  if (!work) return ordered_json();
  ordered_json document = {{"time", PcTime(work->at)}, {"kind", molvane::WorkKindName(work->kind)}};
  if (!work->board.empty()) document["board"] = work->board;
  document["file"] = work->file;
  if (!work->sha256.empty()) document["sha256"] = work->sha256;
  document["ok"] = work->ok;
  document["outcome"] = work->outcome;
  return document;
}

// The oldest PIN's age in days today; nothing without PINs.
std::optional<std::int64_t> OldestPinAge(const molvane::CartSummary& cart) {
  if (cart.pinActivationTimes.empty()) return std::nullopt;
  std::int64_t oldest = cart.pinActivationTimes.front();
  for (const std::int64_t time : cart.pinActivationTimes) oldest = std::min(oldest, time);
  return molvane::AgeInDays(molvane::Now(), oldest);
}

ordered_json CartJson(const molvane::CartSummary& cart) {
  const molvane::CartIdentity& i = cart.identity;
  const bool pinsKnown = cart.pinsRead != 0;
  ordered_json ages = ordered_json::array();
  for (const std::int64_t time : cart.pinActivationTimes)
    ages.push_back(molvane::AgeInDays(molvane::Now(), time));
  const auto oldest = OldestPinAge(cart);
  return {{"serial_number", i.serialNumber},
          {"name", i.name},
          {"firmware_versions", i.firmware},
          {"hardware_versions", i.hardware},
          {"power_supply", i.powerSupply},
          {"pc_name", cart.pcName},
          {"first_seen", PcTime(cart.firstSeen)},
          {"last_seen", PcTime(cart.lastSeen)},
          {"pin_count", pinsKnown ? ordered_json(cart.pinActivationTimes.size()) : ordered_json()},
          {"pin_ages_days", pinsKnown ? ages : ordered_json()},
          {"oldest_pin_age_days", oldest ? ordered_json(*oldest) : ordered_json()},
          {"pins_read", PcTime(cart.pinsRead)},
          {"archived_events", cart.archivedEvents},
          {"log_archived", PcTime(cart.logRead)},
          {"last_backup", WorkJson(cart.lastBackup)},
          {"last_restore", WorkJson(cart.lastRestore)},
          {"last_update", WorkJson(cart.lastUpdate)}};
}

void List(CliContext& context) {
  std::string failure;
  molvane::FleetStore* store = context.fleet.Store(context, failure);
  if (store == nullptr) return context.Fail(failure);
  const auto carts = store->Carts();
  if (!Check(context, carts.outcome)) return;
  if (context.json) {
    ordered_json list = ordered_json::array();
    for (const molvane::CartSummary& cart : carts.value) list.push_back(CartJson(cart));
    PrintJson({{"carts", list}});
    return;
  }
  std::printf(
      "Serial number\tName\tFirmware\tPINs\tOldest PIN (days)\tLast seen\tLast backup\t"
      "Archived events\n");
  for (const molvane::CartSummary& cart : carts.value) {
    const molvane::CartIdentity& i = cart.identity;
    const auto oldest = OldestPinAge(cart);
    std::printf("%s\t%s\t%s / %s / %s / %s\t%s\t%s\t%s\t%s\t%lld\n", Shown(i.serialNumber).c_str(),
                Shown(i.name).c_str(), Shown(i.firmware[0]).c_str(), Shown(i.firmware[1]).c_str(),
                Shown(i.firmware[2]).c_str(), Shown(i.firmware[3]).c_str(),
                cart.pinsRead == 0 ? "-" : std::to_string(cart.pinActivationTimes.size()).c_str(),
                oldest ? std::to_string(*oldest).c_str() : "-", PcTimeText(cart.lastSeen).c_str(),
                cart.lastBackup ? PcTimeText(cart.lastBackup->at).c_str() : "-",
                static_cast<long long>(cart.archivedEvents));
  }
}

struct EventArguments {
  std::string cart, since, until, holder, file;
  int limit = 1000;
};

// The query the options describe; false after one line when a date is not understood.
bool MakeQuery(CliContext& context, const EventArguments& a, molvane::EventQuery& query) {
  query.cart = a.cart;
  query.holder = a.holder;
  query.limit = a.limit;
  for (const auto& [text, endOfSpan, slot] :
       {std::tuple{&a.since, false, &query.since}, std::tuple{&a.until, true, &query.until}}) {
    if (text->empty()) continue;
    *slot = molvane::ParseCartClock(*text, endOfSpan);
    if (!*slot) {
      context.Fail("Error: '" + *text +
                   "' is no date: give YYYY-MM-DD, YYYY-MM-DD hh:mm or YYYY-MM-DDThh:mm:ss");
      return false;
    }
  }
  return true;
}

// "access" for an access, else the Log page's own words.
std::string EventWord(const molvane::EventRow& row) {
  return row.kind == 1 ? "access" : molvane::EventAction(row.kind, row.pin);
}

void Log(CliContext& context, const EventArguments& a) {
  molvane::EventQuery query;
  if (!MakeQuery(context, a, query)) return;
  std::string failure;
  molvane::FleetStore* store = context.fleet.Store(context, failure);
  if (store == nullptr) return context.Fail(failure);
  const auto page = store->Events(query);
  if (!Check(context, page.outcome)) return;
  if (context.json) {
    ordered_json events = ordered_json::array();
    for (const molvane::EventRow& row : page.value.events) {
      events.push_back(
          {{"time", molvane::CartClockText(row.cartTime, 'T')},
           {"event", EventWord(row)},
           {"pin", row.kind == 1 ? ordered_json(std::to_string(row.pin)) : ordered_json()},
           {"holder", row.holder.empty() ? ordered_json() : ordered_json(row.holder)},
           {"action", molvane::EventAction(row.kind, row.pin)}});
    }
    PrintJson({{"serial_number", page.value.serialNumber},
               {"name", page.value.name},
               {"events", events},
               {"more", page.value.more}});
  } else {
    for (const molvane::EventRow& row : page.value.events) {
      const std::string holder = row.holder.empty() ? "" : " (" + row.holder + ")";
      std::printf("%s  %s%s\n", molvane::CartClockText(row.cartTime).c_str(),
                  molvane::EventAction(row.kind, row.pin).c_str(), Shown(holder).c_str());
    }
  }
  if (page.value.more) {
    std::fprintf(stderr,
                 "Older events match too: these are the newest %d; narrow with --since and "
                 "--until, or raise --limit (0: all).\n",
                 a.limit);
  }
}

void Export(CliContext& context, const EventArguments& a) {
  molvane::EventQuery query;
  if (!MakeQuery(context, a, query)) return;
  std::string failure;
  molvane::FleetStore* store = context.fleet.Store(context, failure);
  if (store == nullptr) return context.Fail(failure);
  const molvane::Outcome written = store->ExportEvents(query, a.file);
  if (!Check(context, written)) return;
  if (context.json) {
    PrintJson({{"file", a.file}, {"events", written.done}});
  } else {
    std::printf("%d archived event(s) written to %s\n", written.done, a.file.c_str());
  }
}

void Names(CliContext& context, const std::string& path) {
  std::string failure;
  molvane::FleetStore* store = context.fleet.Store(context, failure);
  if (store == nullptr) return context.Fail(failure);
  auto holders = molvane::ReadHolderFile(path);
  if (!Check(context, holders.outcome)) return;
  if (holders.value.empty()) {
    return context.Fail("Error: " + path +
                        " names no holder: its lines hold no name in the column after the PIN");
  }
  const int count = static_cast<int>(holders.value.size());
  const molvane::RecordOutcome kept =
      store->Record(molvane::HoldersNamed{molvane::Now(), std::move(holders.value)});
  if (!kept.Safe()) return context.Fail(ErrorLine(kept.warning));
  Warn("fleet store", kept.warning);
  if (context.json) {
    PrintJson({{"file", path}, {"holders", count}, {"kept_back", !kept.warning.empty()}});
  } else {
    std::printf("%d holder name(s) from %s kept in the fleet store.\n", count, path.c_str());
  }
}

void Send(CliContext& context) {
  std::string failure;
  molvane::FleetStore* store = context.fleet.Store(context, failure);
  if (store == nullptr) return context.Fail(failure);
  const molvane::Outcome sent = store->SendKeptBack();
  const int waiting = store->KeptBackCount();
  if (!sent) {
    context.Fail(ErrorLine(sent.text) + "; " + std::to_string(waiting) + " record(s) wait");
    return;
  }
  if (context.json) {
    PrintJson({{"sent", sent.done}, {"waiting", waiting}});
  } else {
    std::printf("%d record(s) sent; %d wait.\n", sent.done, waiting);
  }
}

void AddFilters(CLI::App* command, EventArguments& a) {
  command->add_option("--since", a.since,
                      "From this date of the cart's clock (YYYY-MM-DD[ hh:mm[:ss]])");
  command->add_option("--until", a.until, "To this date of the cart's clock, the day included");
  command->add_option("--holder", a.holder, "Only the accesses with this holder's PINs");
}

const Registration registration([](CLI::App& app, CliContext& context) {
  auto* fleet = app.add_subcommand(
      "fleet", "The fleet record: every cart serviced and its access log kept beyond the cart's");
  fleet->require_subcommand(1);
  OfferJson(context, fleet->add_subcommand("list", "One line per cart serviced"),
            R"({"carts": [{"serial_number", "name", "firmware_versions", "hardware_versions",)"
            "\n  "
            R"( "power_supply", "pc_name", "first_seen", "last_seen", "pin_count",)"
            R"( "pin_ages_days", "oldest_pin_age_days", "pins_read", "archived_events",)"
            "\n  "
            R"( "log_archived", "last_backup", "last_restore", "last_update"}]})")
      ->callback([&context] { List(context); });

  static EventArguments logArguments;
  auto* log = OfferJson(
      context, fleet->add_subcommand("log", "A cart's archived access log, the newest events last"),
      R"({"serial_number", "name", "events": [{"time", "event", "pin", "holder", "action"}],)"
      R"( "more": older events matched beyond --limit})");
  log->add_option("SERIAL", logArguments.cart, "The cart's serial number (or a name only it has)")
      ->required();
  AddFilters(log, logArguments);
  log->add_option("--limit", logArguments.limit, "At most this many, the newest (0: all)")
      ->capture_default_str()
      ->check(CLI::NonNegativeNumber);
  log->callback([&context] { Log(context, logArguments); });

  static EventArguments exportArguments;
  auto* exportCommand = OfferJson(
      context, fleet->add_subcommand("export", "Write archived events to a tab-separated file"),
      R"({"file", "events": number written})");
  exportCommand->add_option("FILE", exportArguments.file, "File to write")->required();
  exportCommand->add_option("--cart", exportArguments.cart, "Only this cart (serial number)");
  AddFilters(exportCommand, exportArguments);
  exportCommand->callback([&context] { Export(context, exportArguments); });

  static std::string namesPath;
  auto* names = OfferJson(
      context,
      fleet->add_subcommand("names", "Keep who each PIN belongs to, from a file of PIN and name"),
      R"({"file", "holders": number kept, "kept_back": true when waiting for the server})");
  names->add_option("FILE", namesPath, "PIN file with the holder's name in its second column")
      ->required();
  names->callback([&context] { Names(context, namesPath); });

  OfferJson(context,
            fleet->add_subcommand("send", "Send the records waiting for the site's server"),
            R"({"sent", "waiting": numbers of records})")
      ->callback([&context] { Send(context); });
});

}  // namespace
}  // namespace molvanectl
