#pragma once
#include <string>

namespace molvane {

// A first answer to "status" that is not the echoed word still marks a cart when it is at least
// two characters long, holds no "Timeout" and no capital U (a bootloader's handshake), and its
// leading number is a byte value.
bool LooksLikeCartStatus(const std::string& firstLine);

}  // namespace molvane
