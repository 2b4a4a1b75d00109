#pragma once
#include <functional>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "app/cart_controller.h"
#include "cli/terminal_ui.h"

namespace molvanectl {

// What every command needs: the controller, the operator's terminal, and the way to the cart.
struct CliContext {
  molvane::CartController controller;
  TerminalUi ui;
  std::string port;  // --port; empty: find the cart the way the desktop program does
  int exitCode = 0;

  CliContext() { controller.SetUi(&ui); }

  // Opens and probes the cart's port; prints one clear line and returns false when no cart answers.
  bool Connect();
  // One line on stderr, and the command's exit code becomes non-zero.
  void Fail(const std::string& line);
  // Fails with the controller's message when the last transaction timed out.
  bool CheckLink();
};

// Each command file registers its subcommands here with a static Registration.
using CommandAdder = std::function<void(CLI::App& app, CliContext& context)>;
std::vector<CommandAdder>& CommandAdders();
struct Registration {
  explicit Registration(CommandAdder adder) { CommandAdders().push_back(std::move(adder)); }
};

// Why a named port could not be used, with the fix where there is one.
std::string DescribeOpenError(const std::string& port, molvane::OpenError error);

}  // namespace molvanectl
