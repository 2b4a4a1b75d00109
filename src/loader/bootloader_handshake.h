#pragma once
#include <cstdint>
#include <string>

#include "link/serial_port.h"
#include "loader/deadline.h"

namespace molvane {

inline constexpr std::uint8_t kHandshakeByte = 0x55;  // 'U'
inline constexpr std::uint8_t kAcknowledge = 0x21;    // '!'
inline constexpr std::uint8_t kRestartByte = 0xFF;    // written twice

// How the wait for the bootloader's 'U' ended.
enum class BoardWait { Announced, Refused, Silent, LineClosed, Stopped };

// Waits for the bootloader's 'U' until the deadline is over. Other bytes are dropped, but they
// may be the cart's answer to the bootload command: one that refuses it ends the wait at once,
// with the operator's text in `refusal`. A closed line (the cable pulled) ends it at once too,
// and the port's interrupt as a stop.
BoardWait WaitForBootloaderU(SerialPort& port, const Deadline& deadline, std::string& refusal);

// Reads the 'U's the bootloader keeps sending. On success `carried` is the byte that ended them,
// which may already be the header's device byte, or 'U' when nothing else came. False when the
// deadline ran out (or was stopped) while 'U's still came: the bootloader did not take ours.
bool PurgeUs(SerialPort& port, const Deadline& deadline, std::uint8_t& carried);

// Both restart bytes, or the first write that failed.
PortIo WriteRestartBytes(SerialPort& port);

}  // namespace molvane
