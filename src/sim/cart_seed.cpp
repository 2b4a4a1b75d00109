#include "sim/cart_seed.h"

#include <array>
#include <cstdint>

namespace cartsim {
namespace {

constexpr CartSeconds kDay = 86400;

struct SeedPin {
  std::uint32_t pin;
  int ageDays;
};

// Oldest first, as the cart stored them.
constexpr std::array<SeedPin, 5> kPins = {{
    {1234, 45},
    {80417, 21},
    {4321, 9},
    {2718281828u, 3},
    {7, 0},
}};

constexpr int kServiceDays = 47;

// Small deterministic generator so every start looks alike.
std::uint32_t NextRandom(std::uint32_t& seed) {
  seed = seed * 1664525u + 1013904223u;
  return seed >> 16;
}

void AddAccessesOfDay(CartState& state, CartSeconds dayStart, CartSeconds now,
                      std::uint32_t& seed) {
  const int accesses = static_cast<int>(NextRandom(seed) % 3);
  for (int i = 0; i < accesses; ++i) {
    const CartSeconds when =
        dayStart + (7 + 4 * i) * 3600 + static_cast<CartSeconds>(NextRandom(seed) % 10800);
    const int dayIndex = static_cast<int>((now - dayStart) / kDay);
    // Only PINs already on the cart that day can open it.
    std::array<std::uint32_t, kPins.size()> usable{};
    std::size_t count = 0;
    for (const SeedPin& p : kPins) {
      if (p.ageDays >= dayIndex) usable[count++] = p.pin;
    }
    if (count == 0 || when >= now) continue;
    state.events.Add(
        CartEvent{usable[NextRandom(seed) % count], static_cast<int>(CartEventCode::Access), when});
  }
}

}  // namespace

void SeedCartState(CartState& state, CartSeconds now) {
  state.settings.name = "Ward 4 Cart";
  state.settings.serial = "MV-20417";
  state.settings.cycleCount = 1873;
  const CartSeconds today = now - now % kDay;
  const CartSeconds firstDay = today - kServiceDays * kDay;
  state.events.Add(
      CartEvent{0, static_cast<int>(CartEventCode::FactoryReset), firstDay + 9 * 3600});
  state.events.Add(
      CartEvent{0, static_cast<int>(CartEventCode::PowerUp), firstDay + 9 * 3600 + 40});
  for (const SeedPin& p : kPins) {
    state.pins.Add(p.pin, now - p.ageDays * kDay - 3600);
  }
  std::uint32_t seed = 20417;
  for (CartSeconds day = firstDay + kDay; day <= today; day += kDay) {
    if (NextRandom(seed) % 9 == 0) {
      state.events.Add(CartEvent{0, static_cast<int>(CartEventCode::PowerUp), day + 6 * 3600});
    }
    AddAccessesOfDay(state, day, now, seed);
  }
}

}  // namespace cartsim
