#pragma once
#include <cstdint>

#include "sim/cart_events.h"
#include "sim/cart_pins.h"
#include "sim/cart_settings.h"

namespace cartsim {

// What survives a power cycle of the cart.
struct CartState {
  CartPins pins;
  CartEvents events;
  CartSettings settings;
  std::int64_t clockOffset = 0;  // cart clock minus host clock, seconds
};

}  // namespace cartsim
