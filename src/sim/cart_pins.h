#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "sim/cart_clock.h"

namespace cartsim {

struct CartPin {
  std::uint32_t pin = 0;
  CartSeconds activated = 0;
};

// The cart's PIN memory: a fixed table, in the order the PINs were stored.
class CartPins {
 public:
  static constexpr int kCapacity = 128;
  enum class AddResult { Stored, Full, Duplicate };

  AddResult Add(std::uint32_t pin, CartSeconds activated);
  bool Remove(std::uint32_t pin);
  bool Contains(std::uint32_t pin) const;
  void Clear() { count = 0; }
  int Count() const { return count; }
  // Nothing for an index outside 0..Count()-1.
  std::optional<CartPin> At(int index) const;
  // One "PIN s m h D M Y" line per PIN, each ended with CR LF.
  std::string DumpLines() const;

 private:
  std::array<CartPin, kCapacity> entries{};
  int count = 0;
};

// A PIN as the keypad or the host writes it: decimal digits only, leading zeros allowed, value
// within 32 bits. Nothing for anything else.
std::optional<std::uint32_t> ParsePinText(std::string_view text);

}  // namespace cartsim
