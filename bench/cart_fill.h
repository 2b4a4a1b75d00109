#pragma once
// Fills the simulated cart's tables to their limits for the dump benchmarks.
// Header only: every .cpp in this folder is a program.
#include <cstdint>

#include "sim/cart_model.h"

namespace bench {

constexpr int kFullLog = 1024;
constexpr int kFullPinList = 128;

// Mostly accesses with PINs of several lengths, a power-up now and then, an hour or so apart.
inline void FillLog(cartsim::CartModel& cart) {
  const cartsim::CartSeconds now = cart.Clock().Now();
  for (int i = 0; i < kFullLog; ++i) {
    cartsim::CartEvent event;
    const bool powerUp = i % 97 == 0;
    event.code = static_cast<int>(powerUp ? cartsim::CartEventCode::PowerUp
                                          : cartsim::CartEventCode::Access);
    event.pin = powerUp ? 0u : 1000u + static_cast<std::uint32_t>(i) * 104729u;
    event.when = now - static_cast<cartsim::CartSeconds>(kFullLog - i) * 3671;
    cart.Events().Add(event);
  }
}

// PINs a day apart in age.
inline void FillPins(cartsim::CartModel& cart) {
  const cartsim::CartSeconds now = cart.Clock().Now();
  for (int i = 0; i < kFullPinList; ++i) {
    cart.Pins().Add(100000u + static_cast<std::uint32_t>(i) * 7919u, now - i * 86400);
  }
}

}  // namespace bench
