#include <chrono>
#include <string>

#include "app/cart_controller.h"
#include "base/clock.h"
#include "base/cart_time.h"

namespace molvane {

// The cart's clock takes the PC's local time in its own order: second, minute, hour, day, month,
// year minus 2000. The cart sends nothing back.
void CartController::SetRealTimeClock() {
  const LocalFields t = ToLocalFields(Now());
  SendCommand("set_time " + std::to_string(t.second) + " " + std::to_string(t.minute) + " " +
              std::to_string(t.hour) + " " + std::to_string(t.day) + " " + std::to_string(t.month) +
              " " + std::to_string(t.year - 2000));
}

// The gauge answers "reset_done" when it is finished; other lines may come first. The wait ends
// early when the link is gone, since no answer can arrive then.
bool CartController::ResetGasGauge() {
  SendCommand("gas_gauge_reset");
  const auto start = std::chrono::steady_clock::now();
  const auto elapsed = [&] {
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() -
                                                            start);
  };
  while (elapsed().count() <= timing.gasGaugeWaitSeconds) {
    if (ReadReply() == "reset_done") return true;
    if (currentPort.load() < 0) return false;
  }
  return false;
}

}  // namespace molvane
