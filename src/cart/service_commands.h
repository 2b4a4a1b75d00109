#pragma once
#include "app/outcome.h"

namespace molvane {

class CartController;

// "set_time" with the PC's local time in the cart's order: second, minute, hour, day, month,
// year minus 2000. The cart may answer with nothing to read: a refusal it sends at once
// ("error", "unknown cmd") fails, and a cart that says nothing must still answer "status", so
// that a cart gone silent never passes for one that took the time.
Outcome SetRealTimeClock(CartController& controller);

// "gas_gauge_reset", then lines until the cart answers "reset_done" or the wait runs out.
// Success only with that answer: no confirmation is a failure the operator hears of.
Outcome ResetGasGauge(CartController& controller);

}  // namespace molvane
