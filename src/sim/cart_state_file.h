#pragma once
#include <string>

#include "sim/cart_state.h"

namespace cartsim {

// A line-oriented text file: a header line, then "key value" lines, "pin PIN SECONDS" and
// "event PIN CODE SECONDS" lines in table order. Seconds are the cart's own calendar seconds.
std::string FormatCartState(const CartState& state);
// False, leaving `state` partly filled, when any line is not understood or a table overflows.
bool ParseCartState(const std::string& text, CartState& state);

// Written beside the target and renamed over it, so a crash leaves the old file or the new one.
bool SaveCartState(const std::string& path, const CartState& state);
enum class LoadResult { Loaded, Missing, Rejected };
LoadResult LoadCartState(const std::string& path, CartState& state);

}  // namespace cartsim
