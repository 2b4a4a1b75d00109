#include "cli/cli_context.h"

#include <cstdio>

#include "base/printable_text.h"
#include "base/regular_file.h"
#include "cart/rfid_format.h"
#include "cart/setup_values.h"
#include "cli/json_output.h"

namespace molvanectl {

std::vector<CommandAdder>& CommandAdders() {
  static std::vector<CommandAdder> adders;
  return adders;
}

std::string ErrorLine(const std::string& message) {
  return message.rfind("Error", 0) == 0 ? message : "Error: " + message;
}

void Warn(const std::string& subject, const std::string& warning) {
  if (!warning.empty()) std::fprintf(stderr, "Warning: %s: %s\n", subject.c_str(), warning.c_str());
}

std::string Shown(const std::string& cartText) { return molvane::PrintableText(cartText); }

bool ParseBoundedNumber(const std::string& text, long max, long& value) {
  // An empty argument is a slip on the command line, not the page's empty field meaning 0.
  return !text.empty() && molvane::CheckSetting(text, max, value) == molvane::SettingCheck::Ok;
}

bool CheckBoundedNumber(CliContext& context, const std::string& what, const std::string& text,
                        long max, long& value) {
  if (ParseBoundedNumber(text, max, value)) return true;
  context.Fail("Error: the " + what + " must be a whole number from 0 to " + std::to_string(max) +
               ", not '" + text + "'");
  return false;
}

namespace {

// Digits without their leading zeros; "0" stays "0". Empty for anything but digits.
std::string DigitValue(const std::string& text) {
  if (!molvane::IsDigitText(text) || text.empty()) return {};
  const std::size_t first = text.find_first_not_of('0');
  return first == std::string::npos ? "0" : text.substr(first);
}

bool ReportRefused(CliContext& context, const std::string& what, const std::string& sent,
                   const std::string& reported) {
  context.Fail("Error: the cart did not take the " + what + ": it reports '" + Shown(reported) +
               "' after '" + Shown(sent) + "' was sent");
  return false;
}

}  // namespace

bool ConfirmSetting(CliContext& context, const std::string& what, const std::string& sent,
                    const std::string& reported) {
  return sent == reported || ReportRefused(context, what, sent, reported);
}

bool ConfirmNumberSetting(CliContext& context, const std::string& what, const std::string& sent,
                          const std::string& reported) {
  const std::string value = DigitValue(sent);
  return (!value.empty() && value == DigitValue(reported)) ||
         ReportRefused(context, what, sent, reported);
}

void CliContext::Fail(const std::string& line) {
  std::fprintf(stderr, "%s\n", line.c_str());
  if (json && exitCode == 0) PrintJson({{"error", line}});
  exitCode = 1;
}

bool CliContext::CheckReadable(const std::string& path) {
  molvane::FileFault fault = molvane::FileFault::None;
  if (molvane::OpenRegularFile(path, fault)) return true;
  Fail(fault == molvane::FileFault::NotRegular
           ? "Error: " + path + " " + molvane::FileFaultText(fault)
           : "Error: cannot read " + path);
  return false;
}

bool CliContext::Reach(std::string& waitingBoardPort) {
  if (port.empty()) return controller.ConnectFirstCart(&waitingBoardPort);
  const auto result = controller.ConnectPort(port);
  if (result == molvane::CartController::ProbeResult::Bootloader) waitingBoardPort = port;
  return result == molvane::CartController::ProbeResult::Cart;
}

void CliContext::ReportNoCart() {
  const std::string message = controller.MessageText();
  if (!port.empty()) {
    if (controller.LastOpenError(0) != molvane::OpenError::None) {
      Fail("Error: " +
           DescribeOpenError(port, controller.LastOpenError(0), controller.LastOpenErrorText(0)));
    } else {
      Fail(!message.empty() ? ErrorLine(message)
                            : "Error: Timeout (no cart answered on " + port + ")");
    }
    return;
  }
  const int count = controller.PortCount();
  Fail(!message.empty() ? ErrorLine(message)
       : count == 0
           ? std::string(
                 "Error: no cart found (no FTDI port; set MOLVANE_PORTS to use another port)")
           : "Error: no cart found on " + std::to_string(count) +
                 " port(s); 'molvanectl ports' tells why");
}

bool CliContext::Connect() {
  std::string waitingBoardPort;
  if (Reach(waitingBoardPort)) return true;
  ReportNoCart();
  return false;
}

CliContext::Reached CliContext::ConnectForUpdate() {
  std::string waitingBoardPort;
  if (Reach(waitingBoardPort)) return Reached::Cart;
  if (!waitingBoardPort.empty() && controller.AttachPort(waitingBoardPort, false)) {
    return Reached::BoardInBootloader;
  }
  ReportNoCart();
  return Reached::Nothing;
}

bool Check(CliContext& context, const molvane::Outcome& outcome,
           const std::function<std::string(const std::string&)>& describe) {
  if (outcome) return true;
  context.Fail(describe ? describe(outcome.text) : ErrorLine(outcome.text));
  return false;
}

}  // namespace molvanectl
