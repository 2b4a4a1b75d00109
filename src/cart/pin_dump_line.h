#pragma once
#include <string_view>

#include "app/cart_data.h"

namespace molvane {

// One record of the cart's PIN dump: PIN, second, minute, hour, day, month, year minus 2000,
// separated by blanks. False when the line is anything else (a number more or less, a character
// that is neither digit nor blank, as one garbled byte leaves it) or holds a PIN that does not
// fit 32 bits; `entry` is then unchanged.
bool ParsePinDumpLine(std::string_view line, PinEntry& entry);

}  // namespace molvane
