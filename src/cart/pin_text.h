#pragma once
#include <cstddef>
#include <string_view>

#include "base/character_filter.h"

namespace molvane {

// A PIN as the operator types it: decimal digits, at most ten of them, worth less than 2^32.
inline constexpr std::size_t kMaxPinTextLength = 10;
inline constexpr const char* kPinDigits = "0123456789";
inline constexpr const char* kPinOutOfRangeText = "The pin number must be less than 4294967296.";

// Digits only, at most ten, below 4294967296. An empty text passes: the cart has the last word
// on what it takes.
bool IsAcceptablePinText(std::string_view text);

// What the PIN field lets the operator type.
CharacterFilter PinTextFilter();

}  // namespace molvane
