#pragma once
#include <string>

#include "app/outcome.h"

namespace molvane {

class CartController;

// The cart's name and serial number travel between double quotes, at most 15 characters: a
// longer text is cut there. Reading takes the text without its quotes.
Outcome SetCartName(CartController& controller, const std::string& name);
Result<std::string> GetCartName(CartController& controller);
Outcome SetSerialNumber(CartController& controller, const std::string& text);
Result<std::string> GetSerialNumber(CartController& controller);

}  // namespace molvane
