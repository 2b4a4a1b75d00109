// molvanectl: every cart operation from the command line, for scripted service work.
#include <cstdio>

#include "cli/cli_context.h"

int main(int argc, char** argv) {
  CLI::App app{"Service and configuration of an electronic cart", "molvanectl"};
  app.require_subcommand(1);
  molvanectl::CliContext context;
  app.add_option("--port", context.port,
                 "Port of the cart (/dev/ttyUSB0, COM7); default: find it like the desktop program");
  app.add_flag("--json", context.json,
               "One JSON document on stdout (status, info, ports, pins list, log list, calib, "
               "backup --dry-run); a failure is {\"error\": ...}");
  for (const auto& add : molvanectl::CommandAdders()) add(app, context);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    return app.exit(error);
  }
  return context.exitCode;
}
