// Service work: the cart's clock and the battery gas gauge.
#include <cstdio>

#include "base/cart_time.h"
#include "base/clock.h"
#include "cart/service_commands.h"
#include "cart/setup_values.h"
#include "cli/cli_context.h"

namespace molvanectl {
namespace {

void SetClock(CliContext& context) {
  if (!context.Connect()) return;
  const molvane::LocalFields t = molvane::ToLocalFields(molvane::Now());
  if (!Check(context, molvane::SetRealTimeClock(context.controller))) return;
  std::printf("Clock set to %04d-%02d-%02d %02d:%02d:%02d. %s\n", t.year, t.month, t.day, t.hour,
              t.minute, t.second, molvane::kUpdateComplete);
}

void ResetGasGauge(CliContext& context) {
  if (!context.Connect()) return;
  const molvane::Outcome reset = molvane::ResetGasGauge(context.controller);
  if (!Check(context, reset)) return;
  std::printf("%s\n", reset.text.c_str());
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
