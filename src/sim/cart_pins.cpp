#include "sim/cart_pins.h"

#include <algorithm>
#include <cstdio>

namespace cartsim {

CartPins::AddResult CartPins::Add(std::uint32_t pin, CartSeconds activated) {
  if (Contains(pin)) return AddResult::Duplicate;
  if (count >= kCapacity) return AddResult::Full;
  entries[static_cast<std::size_t>(count)] = CartPin{pin, activated};
  ++count;
  return AddResult::Stored;
}

bool CartPins::Remove(std::uint32_t pin) {
  const auto begin = entries.begin();
  const auto end = begin + count;
  const auto found = std::find_if(begin, end, [pin](const CartPin& e) { return e.pin == pin; });
  if (found == end) return false;
  std::move(found + 1, end, found);
  --count;
  return true;
}

bool CartPins::Contains(std::uint32_t pin) const {
  const auto begin = entries.begin();
  return std::any_of(begin, begin + count, [pin](const CartPin& e) { return e.pin == pin; });
}

std::optional<CartPin> CartPins::At(int index) const {
  if (index < 0 || index >= count) return std::nullopt;
  return entries[static_cast<std::size_t>(index)];
}

std::string CartPins::DumpLines() const {
  std::string out;
  for (int i = 0; i < count; ++i) {
    const CartPin& entry = entries[static_cast<std::size_t>(i)];
    char pinText[16];
    std::snprintf(pinText, sizeof pinText, "%u ", static_cast<unsigned>(entry.pin));
    out += pinText + FormatCartDate(CartDateFromSeconds(entry.activated)) + "\r\n";
  }
  return out;
}

std::optional<std::uint32_t> ParsePinText(std::string_view text) {
  if (text.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
    if (value > 0xFFFFFFFFull) return std::nullopt;
  }
  return static_cast<std::uint32_t>(value);
}

}  // namespace cartsim
