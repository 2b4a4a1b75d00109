#include "backup/support_report.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "app/build_info.h"
#include "app/cart_controller.h"
#include "app/link_texts.h"
#include "app/settings_folder.h"
#include "backup/cart_readout.h"
#include "backup/trace_redaction.h"
#include "base/cart_time.h"
#include "base/clock.h"
#include "base/file_content.h"
#include "base/file_tail.h"
#include "link/traffic_trace.h"
#include "loader/bootlog.h"

namespace molvane {
namespace {

std::string Heading(const std::string& title) { return "\n== " + title + " ==\n"; }

std::string WithLineEnd(std::string text) {
  if (!text.empty() && text.back() != '\n') text += '\n';
  return text;
}

std::string PortsSection(CartController& controller) {
  std::string text = Heading("Ports");
  for (const std::string& line : controller.SurveyPorts()) text += line + "\n";
  if (controller.PortCount() <= 0) {
    const std::string why = controller.MessageText();
    text += "No port found" + (why.empty() ? std::string(".") : ": " + why) + "\n";
  }
  return text;
}

std::string CartNotRead(const Outcome& read) {
  return "The cart could not be read (" + read.text + "). What it did not give is marked " +
         kNotReadText + ".\n";
}

CartReadout CartSection(CartController& controller, bool showAccessCodes,
                        const Progress& progress) {
  CartReadout section;
  section.text = Heading("Cart");
  if (controller.IsBusy()) {
    section.text += "Not read: a firmware update or bitmap upload is running.\n";
  } else if (controller.CurrentPort() < 0) {
    section.text += "No cart is connected.\n";
  } else {
    CartReadout readout = ReadCartForReport(controller, showAccessCodes, progress);
    section.read = readout.read;
    if (!readout.read) section.text += CartNotRead(readout.read);
    section.text += readout.text;
    if (!showAccessCodes) section.text += "PINs and the RFID facility code are masked.\n";
  }
  return section;
}

// Installed where its user may not write, the program keeps its files elsewhere; support needs
// to know where to look.
std::string SettingsFolderLine(const CartController& controller) {
  const std::string program = controller.GetProgramFolder();
  const std::string settings = SettingsFolder(program);
  std::string line =
      "Settings folder (Molvane.cfg, the desktop program's bootlog.txt): " + settings;
  if (settings != program)
    line += " (not beside the program: its folder is read-only or the system's)";
  return line + "\n";
}

}  // namespace

SupportReport::SupportReport(const CartController& controller, bool showAccessCodes)
    : showAccessCodes(showAccessCodes) {
  files = FileSection("Configuration file", controller.ConfigPath(), false) +
          FileSection("bootlog.txt", Bootlog(controller.BootlogFolder()).Path(), false) +
          FileSection("comlog.txt", controller.TracePath(), true) +
          // The run before, or the trace before this one grew too large: a failure followed by
          // a restart of the program is told there.
          FileSection("comlog.1.txt", TrafficTrace::KeptPath(controller.TracePath()), true);
}

std::string SupportReport::FileSection(const std::string& title, const std::string& path,
                                       bool isTrace) const {
  std::string content;
  std::uintmax_t size = 0;
  const std::size_t limit = isTrace ? kTraceTailBytes : kFileTailBytes;
  const ReadResult result = ReadFileTail(path, limit, content, size);
  std::error_code error;
  const std::filesystem::path shown = std::filesystem::absolute(path, error);
  std::string text = Heading(title + ": " + (error ? path : shown.string()));
  if (result == ReadResult::NotOpened) return text + "(not found or cannot be opened)\n";
  if (result != ReadResult::Ok) return text + "(could not be read)\n";
  const bool cut = size > content.size();
  if (cut) {
    // The first line is a piece of one; the copy starts with the next whole one.
    const std::size_t newline = content.find('\n');
    content.erase(0, newline == std::string::npos ? content.size() : newline + 1);
    text +=
        "(the last " + std::to_string(content.size()) + " of " + std::to_string(size) + " bytes)\n";
  }
  if (isTrace && !showAccessCodes) {
    text +=
        "(exchanges that carry PINs or the RFID facility code are left out: the PIN "
        "list's, the access log's dump and the facility code's; molvanectl report "
        "--include-pins keeps them)\n";
    content = RedactTrace(content, cut);
  }
  return text + WithLineEnd(std::move(content));
}

Result<SupportReportText> SupportReport::Compose(CartController& controller,
                                                 const Progress& progress) const {
  Result<SupportReportText> report;
  const auto cancelled = [&] {
    if (progress.Cancelled()) report.outcome = Outcome::Failure(texts::kCancelled);
    return !report.outcome;
  };
  // Written below the title once the cart was read, so that the first thing a reader learns is
  // whether the values below are the cart's.
  std::string text = Heading("Program") + BuildInfoText();
  text += "Program folder: " + controller.GetProgramFolder() + "\n";
  text += SettingsFolderLine(controller);
  text += "Working folder: " + CurrentFolder() + "\n";
  text += Heading("Operating system") + OperatingSystemText() + "\n";
  if (cancelled()) return report;
  text += PortsSection(controller);
  // The ports count as one part of the work, the cart's settings as the others.
  constexpr int kParts = 1 + kCartReportParts;
  progress.Report(1, kParts);
  const Progress cartParts{[&progress](int done, int) { progress.Report(1 + done, kParts); },
                           progress.cancel};
  const CartReadout cart = CartSection(controller, showAccessCodes, cartParts);
  if (cancelled()) return report;
  report.value.cartRead = cart.read;
  report.value.text = "Molvane support report, written " + LocalTimeText(Now()) + "\n";
  if (!cart.read) report.value.text += CartNotRead(cart.read);
  report.value.text += text + cart.text + files;
  return report;
}

std::string SupportReportSavedText(const std::string& path, const Outcome& cartRead) {
  if (cartRead) return kSupportReportSaved + path + ".";
  return "The cart could not be read (" + cartRead.text + "). The support report was saved to " +
         path + "; it marks what was not read.";
}

}  // namespace molvane
