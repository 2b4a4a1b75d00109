#pragma once
#include <string>

#include "app/outcome.h"

namespace molvane {

class CartController;

// The badge format (bit count, mask, facility code) and the longest PIN the cart accepts. The
// texts go to the cart as they stand (line ends taken out).
Outcome SetRfidBits(CartController& controller, const std::string& text);
Outcome SetRfidMask(CartController& controller, const std::string& text);
Outcome SetRfidFacility(CartController& controller, const std::string& text);
Outcome SetMaxPinDigits(CartController& controller, const std::string& text);

// A value read back counts only in its expected form (digits; mask characters); anything else
// (an error word, a time-out, a line ending in the prompt, noise) is a failure and no value.
Result<std::string> GetRfidBits(CartController& controller);
Result<std::string> GetRfidMask(CartController& controller);
Result<std::string> GetRfidFacility(CartController& controller);
Result<std::string> GetMaxPinDigits(CartController& controller);

}  // namespace molvane
