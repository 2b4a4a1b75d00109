#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "sim/cart_clock.h"

namespace cartsim {

// Event codes as the cart stores them.
enum class CartEventCode : int { Access = 1, FactoryReset = 2, PowerUp = 165 };

struct CartEvent {
  std::uint32_t pin = 0;  // the PIN used for an access; 0 for other events
  int code = 0;
  CartSeconds when = 0;
};

// The access log: a ring of the most recent events; when full, the oldest one makes room.
class CartEvents {
 public:
  static constexpr int kCapacity = 1024;

  void Add(const CartEvent& event);
  void Clear() { start = count = 0; }
  int Count() const { return count; }
  // Index 0 is the oldest event kept; nothing outside 0..Count()-1.
  std::optional<CartEvent> At(int index) const;
  // One "PIN code s m h D M Y" line per event, oldest first, each ended with CR LF.
  std::string DumpLines() const;

 private:
  std::array<CartEvent, kCapacity> ring{};
  int start = 0;
  int count = 0;
};

}  // namespace cartsim
