#pragma once
#include "app/outcome.h"

namespace molvane {

class CartController;

// "set_time" with the PC's local time in the cart's order: second, minute, hour, day, month,
// year minus 2000. The cart answers with nothing to read, so only a missing cart, a failed write
// or a refusal the cart sends at once ("error", "unknown cmd") fails.
Outcome SetRealTimeClock(CartController& controller);

// "gas_gauge_reset", then lines until the cart answers "reset_done" or the wait runs out.
// Success only with that answer: no confirmation is a failure the operator hears of.
Outcome ResetGasGauge(CartController& controller);

}  // namespace molvane
