#pragma once
#include <string>

#include "app/outcome.h"

namespace molvane {

class CartController;

// The two shapes most cart commands take: send, then one reply line that is either dropped
// (still read, so that a silent cart is noticed) or handed back. Either way the outcome says
// whether the command went through: no cart, a write error, a time-out, "unknown cmd" or
// "error" are failures with the operator's text.
Outcome SendAndDrop(CartController& controller, const std::string& command);
Result<std::string> SendAndRead(CartController& controller, const std::string& command);

// A text argument with its CR and LF characters taken out: a line end inside it would end the
// command there and hand the rest to the cart as a command of its own.
std::string SingleLine(std::string text);

}  // namespace molvane
