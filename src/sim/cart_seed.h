#pragma once
#include "sim/cart_state.h"

namespace cartsim {

// A cart as it comes back from a few weeks in service: a handful of PINs of different ages (one
// well past a month), a factory reset, power-ups and a few dozen accesses. The same every time
// for the same `now`.
void SeedCartState(CartState& state, CartSeconds now);

}  // namespace cartsim
