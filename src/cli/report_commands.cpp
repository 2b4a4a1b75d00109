// The support report: one text file a technician can mail.
#include <cstdio>

#include "backup/support_report.h"
#include "base/file_content.h"
#include "cli/cli_context.h"
#include "cli/work_progress.h"

namespace molvanectl {
namespace {

void Report(CliContext& context, const std::string& path, bool includePins) {
  auto& controller = context.controller;
  // Taken before any port is opened: an opening starts comlog.txt anew.
  const molvane::SupportReport report(controller, includePins);
  if (!context.port.empty()) {
    controller.ConnectPort(context.port);
  } else {
    controller.FindFtdiPorts();
  }
  molvane::Result<molvane::SupportReportText> composed;
  {
    const WorkProgress progress("Looking at the ports and the cart");
    composed = report.Compose(controller, progress.Get());
  }
  if (!Check(context, composed.outcome,
             [](const std::string& why) { return "Error: no report was written: " + why; }))
    return;
  if (!molvane::ReplaceFileContent(path, composed.value.text)) {
    context.Fail(std::string("Error: ") + molvane::kSupportReportNotSaved + path);
    return;
  }
  const std::string saved = molvane::SupportReportSavedText(path, composed.value.cartRead);
  // A report of a cart that could not be read is still worth sending, but it is no success.
  if (!composed.value.cartRead) {
    context.Fail(ErrorLine(saved));
    return;
  }
  std::printf("%s\n", saved.c_str());
}

const Registration registration([](CLI::App& app, CliContext& context) {
  static std::string path;
  static bool includePins = false;
  auto* report = app.add_subcommand(
      "report",
      "Write a support report to FILE: program, system, ports, the cart's settings, logs");
  report->add_option("FILE", path, "File to write")->required();
  report->add_flag("--include-pins", includePins,
                   "Keep PINs and the RFID facility code (masked and left out of the trace "
                   "otherwise)");
  report->callback([&context] { Report(context, path, includePins); });
});

}  // namespace
}  // namespace molvanectl
