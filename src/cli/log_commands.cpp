// The cart's access log: list, export, clear.
#include <cstdio>

#include "cart/event_log_texts.h"
#include "cli/cli_context.h"

namespace molvanectl {
namespace {

// Reads the whole log; false (after one line) when the cart stopped answering.
bool ReadLog(CliContext& context) {
  context.controller.DumpLog();
  return context.CheckLink();
}

void List(CliContext& context) {
  if (!context.Connect() || !ReadLog(context)) return;
  for (int i = 0; i < context.controller.LogCount(); ++i) {
    std::printf("%s\n", context.controller.LogLine(i).c_str());
  }
}

void Export(CliContext& context, const std::string& path) {
  if (!context.Connect() || !ReadLog(context)) return;
  if (!context.controller.ExportLog(path)) {
    context.Fail("Error: " + molvane::LogNotWritten(path));
    return;
  }
  std::printf("%d event(s) written to %s\n", context.controller.LogCount(), path.c_str());
}

void Clear(CliContext& context) {
  if (!context.Connect()) return;
  context.controller.ClearLog();
  if (!ReadLog(context)) return;
  std::printf("Log cleared; the cart holds %d event(s).\n", context.controller.LogCount());
}

const Registration registration([](CLI::App& app, CliContext& context) {
  auto* log = app.add_subcommand("log", "The cart's access log");
  log->require_subcommand(1);
  log->add_subcommand("list", "One line per event: time, date and action")->callback([&context] {
    List(context);
  });

  static std::string exportPath;
  auto* exportCommand = log->add_subcommand("export", "Write the log to a tab-separated file");
  exportCommand->add_option("FILE", exportPath, "File to write")->required();
  exportCommand->callback([&context] { Export(context, exportPath); });

  log->add_subcommand("clear", "Clear the cart's log")->callback([&context] { Clear(context); });
});

}  // namespace
}  // namespace molvanectl
