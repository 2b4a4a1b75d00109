#pragma once
#include <string>

namespace molvane {

// A first answer to "status" that is not the echoed word still marks a cart when it is at least
// two characters long, holds no "Timeout" and no capital U (a bootloader's handshake), and its
// leading number is a byte value.
bool LooksLikeCartStatus(const std::string& firstLine);

// The C library's reading of a leading decimal integer: blanks, one sign, digits; 0 when no digit
// leads. Saturates instead of overflowing.
long long LeadingInteger(const std::string& text);

}  // namespace molvane
