#include "cart/service_commands.h"

#include <chrono>
#include <string>

#include "app/cart_controller.h"
#include "base/cart_time.h"
#include "base/clock.h"

namespace molvane {
namespace {

constexpr const char* kGasGaugeDone = "Gas Gauge Reset Complete.";
constexpr const char* kGasGaugeNotConfirmed =
    "The cart did not confirm the gas gauge reset. Please try again.";
// Long enough for a refusal of "set_time" to begin arriving, short next to a person's wait.
constexpr int kRefusalWaitMs = 300;

}  // namespace

Outcome SetRealTimeClock(CartController& controller) {
  const LocalFields t = ToLocalFields(Now());
  Outcome sent = controller.SendCommand(
      "set_time " + std::to_string(t.second) + " " + std::to_string(t.minute) + " " +
      std::to_string(t.hour) + " " + std::to_string(t.day) + " " + std::to_string(t.month) + " " +
      std::to_string(t.year - 2000));
  if (!sent) return sent;
  return controller.ConfirmHeard(kRefusalWaitMs);
}

// Other lines may come before "reset_done". The wait ends early when the link is gone, since no
// answer can arrive then.
Outcome ResetGasGauge(CartController& controller) {
  Outcome sent = controller.SendCommand("gas_gauge_reset");
  if (controller.CurrentPort() < 0) return sent;
  const auto start = std::chrono::steady_clock::now();
  const auto elapsed = [&] {
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() -
                                                            start);
  };
  while (elapsed().count() <= controller.GetTiming().gasGaugeWaitSeconds) {
    const Result<std::string> line = controller.ReadReply();
    if (line.value == "reset_done") return Outcome::Success(kGasGaugeDone);
    sent.Merge(line.outcome);
    if (controller.CurrentPort() < 0) break;
  }
  if (!sent) return sent;
  return Outcome::Failure(kGasGaugeNotConfirmed);
}

}  // namespace molvane
