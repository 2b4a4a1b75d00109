// Exercising the cart: keyboard lock and lamp, its status bits and the lock cycle counter.
#include <cstdio>
#include <string>

#include "cart/command_vocabulary.h"
#include "cart/status_flags.h"
#include "cli/cli_context.h"

namespace molvanectl {
namespace {

const char* YesNo(bool on) { return on ? "yes" : "no"; }

// The status line and its three flags as they stand after the action.
void PrintStatus(const std::string& status) {
  const molvane::StatusFlags flags = molvane::DecodeStatusFlags(status);
  std::printf("Status: %s\n", Shown(status).c_str());
  std::printf("%s: %s\n", molvane::kDrawerUnlockedLabel, YesNo(flags.drawerUnlocked));
  std::printf("%s: %s\n", molvane::kKeyboardLampOnLabel, YesNo(flags.keyboardLampOn));
  std::printf("%s: %s\n", molvane::kLiftingLabel, YesNo(flags.lifting));
}

// The action's answer is not a verdict, so success means the command and the status read after
// it both went through; the flags then show what the cart made of it.
void Act(CliContext& context, molvane::Outcome (*action)(molvane::CartController&)) {
  std::string status;
  if (!context.Connect() || !Check(context, action(context.controller)) ||
      !Take(context, molvane::ReadCartStatus(context.controller), status)) {
    return;
  }
  PrintStatus(status);
}

void PrintCycleCount(CliContext& context, bool reset) {
  std::string count;
  if (!context.Connect()) return;
  if (reset && !Check(context, molvane::ResetCycleCount(context.controller))) return;
  if (!Take(context, molvane::GetCycleCount(context.controller), count)) return;
  std::printf("Lock cycle count: %s\n", Shown(count).c_str());
  long value = 0;
  if (reset && ParseBoundedNumber(count, 0x7FFFFFFF, value) && value != 0) {
    context.Fail("Error: the cart did not reset its lock cycle counter");
  }
}

const Registration registration([](CLI::App& app, CliContext& context) {
  app.add_subcommand("lock", "Lock the cart, then print its status flags")->callback([&context] {
    Act(context, molvane::Lock);
  });
  app.add_subcommand("unlock", "Unlock the cart, then print its status flags")
      ->callback([&context] { Act(context, molvane::Unlock); });

  auto* lamp = app.add_subcommand("lamp", "The keyboard lamp");
  lamp->require_subcommand(1);
  lamp->add_subcommand("toggle", "Switch the keyboard lamp on or off, then print the status flags")
      ->callback([&context] { Act(context, molvane::ToggleKeyboardLight); });

  auto* cycles = app.add_subcommand("cycles", "The lock cycle counter");
  cycles->require_subcommand(1);
  cycles->add_subcommand("get", "Print the lock cycle count")->callback([&context] {
    PrintCycleCount(context, false);
  });
  cycles->add_subcommand("reset", "Set the lock cycle counter to zero and print it")
      ->callback([&context] { PrintCycleCount(context, true); });
});

}  // namespace
}  // namespace molvanectl
