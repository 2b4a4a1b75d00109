#pragma once
#include <cstdint>

#include "link/serial_port.h"

namespace molvane {

inline constexpr std::uint8_t kHandshakeByte = 0x55;  // 'U'
inline constexpr std::uint8_t kAcknowledge = 0x21;    // '!'
inline constexpr std::uint8_t kRestartByte = 0xFF;    // written twice

// Waits up to budgetMs for the bootloader's 'U', dropping every other byte.
bool WaitForBootloaderU(SerialPort& port, int budgetMs);

// Reads the 'U's the bootloader keeps sending. Returns the byte that ended them, which may already
// be the header's device byte, or 'U' when nothing else came.
std::uint8_t PurgeUs(SerialPort& port);

void WriteRestartBytes(SerialPort& port);

}  // namespace molvane
