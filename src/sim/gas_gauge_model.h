#pragma once
#include <chrono>
#include <string>
#include <string_view>

#include "sim/sim_wire.h"

namespace cartsim {

inline constexpr std::string_view kGaugeResetDone = "reset_done\r\n";

// The battery gauge on the charger board. A reset takes the gauge a while; meanwhile the board
// reports every half second that it is still at work, so the host never takes the pause for a
// lost cart, and it ends with "reset_done" and the prompt.
class GasGaugeModel {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr std::chrono::milliseconds kBusyInterval{500};

  // How long a reset takes; zero: the gauge is done at once and the cart answers by itself.
  std::chrono::milliseconds resetTime{0};

  bool TakesTime() const { return resetTime.count() > 0; }
  // The answer that goes out at once; the rest follows from Tick.
  std::string StartReset(Clock::time_point now);
  void Tick(Clock::time_point now, const Send& send);

 private:
  bool busy = false;
  Clock::time_point doneAt{};
  Clock::time_point nextReport{};
};

}  // namespace cartsim
