// Service work: the cart's clock and the battery gas gauge.
#include <cstdio>

#include "base/clock.h"
#include "base/cart_time.h"
#include "cli/cli_context.h"

namespace molvanectl {
namespace {

void SetClock(CliContext& context) {
  if (!context.Connect()) return;
  const molvane::LocalFields t = molvane::ToLocalFields(molvane::Now());
  context.controller.SetRealTimeClock();
  // "set_time" is not answered with a verdict; a status probe at least shows that the cart
  // is still listening.
  context.controller.GetStatus();
  if (!context.CheckLink()) return;
  std::printf("Clock set to %04d-%02d-%02d %02d:%02d:%02d. Update Complete.\n", t.year, t.month,
              t.day, t.hour, t.minute, t.second);
}

void ResetGasGauge(CliContext& context) {
  if (!context.Connect()) return;
  const bool confirmed = context.controller.ResetGasGauge();
  if (!context.CheckLink()) return;
  if (!confirmed) {
    context.Fail("Error: the cart did not confirm the gas gauge reset");
    return;
  }
  std::printf("Gas Gauge Reset Complete.\n");
}

const Registration registration([](CLI::App& app, CliContext& context) {
  auto* clock = app.add_subcommand("clock", "The cart's clock");
  clock->require_subcommand(1);
  clock->add_subcommand("set", "Set the cart's clock to this PC's local time")
      ->callback([&context] { SetClock(context); });

  auto* gauge = app.add_subcommand("gas-gauge", "The battery gas gauge");
  gauge->require_subcommand(1);
  gauge->add_subcommand("reset", "Reset the gas gauge and wait for the cart to confirm")
      ->callback([&context] { ResetGasGauge(context); });
});

}  // namespace
}  // namespace molvanectl
