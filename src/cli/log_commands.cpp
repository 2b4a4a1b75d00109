// The cart's access log: list, export, clear.
#include <cstdint>
#include <cstdio>

#include "base/cart_time.h"
#include "cart/event_log.h"
#include "cli/cli_context.h"
#include "cli/json_output.h"

namespace molvanectl {
namespace {

// Reads the whole log; false (after one line) when it could not be read whole.
bool ReadLog(CliContext& context) { return Check(context, molvane::DumpLog(context.controller)); }

// Every whole read goes to the cart's archive in the fleet store; a record that could not be
// kept is one warning, and the command's outcome stays its own.
void Archive(CliContext& context) {
  std::string why;
  (void)context.fleet.ArchiveLog(context, why);
}

void List(CliContext& context) {
  if (!context.Connect() || !ReadLog(context)) return;
  const molvane::EventLog& log = context.controller.Events();
  nlohmann::ordered_json events = nlohmann::ordered_json::array();
  for (int i = 0; i < log.count; ++i) {
    const molvane::LogEntry& entry = log.entries[static_cast<std::size_t>(i)];
    if (context.json) {
      events.push_back(
          {{"time", molvane::LocalTimeText(entry.eventTime, 'T')}, {"action", entry.action}});
    } else {
      std::printf("%s\n", molvane::LogLine(log, i).c_str());
    }
  }
  if (context.json) PrintJson({{"events", events}});
  Archive(context);
}

void Export(CliContext& context, const std::string& path) {
  if (!context.Connect() || !ReadLog(context)) return;
  const molvane::Outcome written = molvane::ExportLog(context.controller.Events(), path);
  Archive(context);
  if (!Check(context, written)) return;
  std::printf("%d event(s) written to %s\n", written.done, path.c_str());
}

// With a fleet store the log is archived first: a log that could not be read whole, or whose
// events the store could keep nowhere, is not cleared, since its trail would be lost.
void Clear(CliContext& context, bool withoutArchive) {
  if (!context.Connect()) return;
  if (!withoutArchive) {
    const molvane::Outcome archived = context.fleet.ArchiveBeforeClear(context);
    if (!archived) {
      context.Fail("Error: " + archived.text + "; give --without-archive to clear it anyway");
      return;
    }
  }
  if (!Check(context, molvane::ClearLog(context.controller)) || !ReadLog(context)) return;
  std::printf("Log cleared; the cart holds %d event(s).\n", context.controller.Events().count);
}

const Registration registration([](CLI::App& app, CliContext& context) {
  auto* log = app.add_subcommand("log", "The cart's access log");
  log->require_subcommand(1);
  OfferJson(context, log->add_subcommand("list", "One line per event: time, date and action"),
            R"({"events": [{"time": local time, "2026-10-21T09:00:00"; "action": text}]})")
      ->callback([&context] { List(context); });

  static std::string exportPath;
  auto* exportCommand = log->add_subcommand("export", "Write the log to a tab-separated file");
  exportCommand->add_option("FILE", exportPath, "File to write")->required();
  exportCommand->callback([&context] { Export(context, exportPath); });

  static bool withoutArchive = false;
  auto* clear = log->add_subcommand(
      "clear", "Archive the cart's log in the fleet store, then clear it on the cart");
  clear->add_flag("--without-archive", withoutArchive,
                  "Clear without reading the log into the fleet store first");
  clear->callback([&context] { Clear(context, withoutArchive); });
});

}  // namespace
}  // namespace molvanectl
