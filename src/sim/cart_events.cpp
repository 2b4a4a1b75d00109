#include "sim/cart_events.h"

#include <cstdio>

namespace cartsim {

void CartEvents::Add(const CartEvent& event) {
  if (count == kCapacity) {
    ring[static_cast<std::size_t>(start)] = event;
    start = (start + 1) % kCapacity;
    return;
  }
  ring[static_cast<std::size_t>((start + count) % kCapacity)] = event;
  ++count;
}

std::optional<CartEvent> CartEvents::At(int index) const {
  if (index < 0 || index >= count) return std::nullopt;
  return ring[static_cast<std::size_t>((start + index) % kCapacity)];
}

std::string CartEvents::DumpLines() const {
  std::string out;
  for (int i = 0; i < count; ++i) {
    const CartEvent event = *At(i);
    char head[32];
    std::snprintf(head, sizeof head, "%u %d ", static_cast<unsigned>(event.pin), event.code);
    out += head + FormatCartDate(CartDateFromSeconds(event.when)) + "\r\n";
  }
  return out;
}

}  // namespace cartsim
