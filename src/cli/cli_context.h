#pragma once
#include <CLI/CLI.hpp>
#include <functional>
#include <string>
#include <vector>

#include "app/cart_controller.h"
#include "cli/fleet_recording.h"
#include "link/port_open_error.h"

namespace molvanectl {

// What every command needs: the controller and the way to the cart.
struct CliContext {
  molvane::CartController controller;
  std::string port;   // --port; empty: find the cart the way the desktop program does
  bool json = false;  // --json: one JSON document on stdout instead of lines
  std::vector<const CLI::App*> jsonCommands;  // the commands that can print JSON (OfferJson)
  int exitCode = 0;
  FleetRecording fleet;  // what the fleet store learns from this run

  // Opens and probes the cart's port; prints one clear line and returns false when no cart answers.
  bool Connect();
  // What a firmware update may start from: a cart, or a board waiting in its bootloader (an
  // update that did not finish), whose port is then the current one. Anything else is reported
  // as Connect reports it.
  enum class Reached { Nothing, Cart, BoardInBootloader };
  Reached ConnectForUpdate();
  // One line on stderr, and the command's exit code becomes non-zero. With --json the first
  // failure is also the command's document on stdout: {"error": line}.
  void Fail(const std::string& line);
  // Whether a file to be sent can be read: said before the cart is looked for, so that a wrong
  // name costs no connection. A FIFO or a device is refused at once, never waited on.
  bool CheckReadable(const std::string& path);

 private:
  // Probes the named port, or the listed ports in turn. False when no cart answered;
  // `waitingBoardPort` then names a port whose board waits in its bootloader, if any.
  bool Reach(std::string& waitingBoardPort);
  void ReportNoCart();
};

// False, after printing the failure (as `describe` words it), when an operation did not go
// through: no answer, a refusal, a list cut short, a file not written.
bool Check(CliContext& context, const molvane::Outcome& outcome,
           const std::function<std::string(const std::string&)>& describe = {});

// Takes a query's value; false, after printing the failure, when the cart did not give it.
template <class T>
bool Take(CliContext& context, molvane::Result<T> read, T& value) {
  if (!Check(context, read.outcome)) return false;
  value = std::move(read.value);
  return true;
}

// Each command file registers its subcommands here with a static Registration.
using CommandAdder = std::function<void(CLI::App& app, CliContext& context)>;
std::vector<CommandAdder>& CommandAdders();
struct Registration {
  explicit Registration(CommandAdder adder) { CommandAdders().push_back(std::move(adder)); }
};

// Why a named port could not be used, with the fix, and who holds a busy one.
using molvane::DescribeOpenError;

// The controller's message as one error line: "Error: " in front unless it says so already.
std::string ErrorLine(const std::string& message);

// "Warning: SUBJECT: WARNING" on stderr, when there is a warning; the exit code stays.
void Warn(const std::string& subject, const std::string& warning);

// What the cart said, as a terminal may show it: a NUL or a control character escaped, never
// cutting the line short.
std::string Shown(const std::string& cartText);

// A typed number: decimal digits only, no sign, no blanks, at most `max`. Cart settings are
// checked with this before anything is sent, so a typing slip never reaches the cart.
bool ParseBoundedNumber(const std::string& text, long max, long& value);

// ParseBoundedNumber, failing with one line that names the setting and its range.
bool CheckBoundedNumber(CliContext& context, const std::string& what, const std::string& text,
                        long max, long& value);

// Fails when the cart reports another value than the one just sent: the set commands are not
// answered with a verdict, so reading the setting back is the only proof that it was taken.
bool ConfirmSetting(CliContext& context, const std::string& what, const std::string& sent,
                    const std::string& reported);

// ConfirmSetting for a field of digits: the cart keeps the number, so "8" answers "08".
bool ConfirmNumberSetting(CliContext& context, const std::string& what, const std::string& sent,
                          const std::string& reported);

}  // namespace molvanectl
