#pragma once
#include <string>

namespace molvane {

// A first answer to "status" that is not the echoed word still marks a cart when it is at least
// two characters long, holds no capital U (a bootloader's handshake), and its leading number is
// a byte value. Only a line that ended in time is an answer; the caller knows that.
bool LooksLikeCartStatus(const std::string& firstLine);

// What came before a line read gave up is a bootloader announcing itself: nothing but 'U's.
// A board is left so when a firmware update is cut off.
bool IsBootloaderStream(const std::string& unended);

// Tells the operator that the board on `port` waits in its bootloader.
std::string BootloaderWaitingText(const std::string& port);

}  // namespace molvane
