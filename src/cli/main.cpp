// molvanectl: every cart operation from the command line, for scripted service work.
#include <cstdio>

#include "cli/cli_context.h"
#include "cli/json_output.h"

int main(int argc, char** argv) {
  CLI::App app{"Service and configuration of an electronic cart", "molvanectl"};
  app.require_subcommand(1);
  app.set_version_flag("--version", "molvanectl " MOLVANE_VERSION_TEXT);
  // Options a command does not know are the program's, so that "molvanectl status --json" and
  // "molvanectl --json status" are the same; subcommands take this over when they are added.
  app.fallthrough();
  molvanectl::CliContext context;
  app.add_option(
      "--port", context.port,
      "Port of the cart (/dev/ttyUSB0, COM7); default: find it like the desktop program");
  // Set as soon as it is read, so that a usage error found later is reported as JSON too.
  app.add_flag("--json", context.json,
               "One JSON document on stdout (status, info, ports, pins list, log list, calib, "
               "backup --dry-run); a failure is {\"error\": ...}")
      ->trigger_on_parse();
  app.add_option("--fleet", context.fleet.option,
                 "Fleet store: a PostgreSQL URI (postgresql://user@host:port/db), an SQLite file, "
                 "or off; default: MOLVANE_FLEET, Molvane.cfg, the settings folder's file");
  for (const auto& add : molvanectl::CommandAdders()) add(app, context);
  app.parse_complete_callback([&] { molvanectl::RefuseJsonUnlessOffered(context, app); });
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    if (context.json && context.exitCode == 0 && error.get_exit_code() != 0)
      molvanectl::PrintJson({{"error", error.what()}});
    return app.exit(error);
  }
  context.fleet.Finish(context);
  return context.exitCode;
}
