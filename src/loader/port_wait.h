#pragma once
#include <cstdint>

#include "link/serial_port.h"

namespace molvane {

enum class WaitResult { Ready, Timeout, PortError };

// Waits until at least `count` received bytes wait, for at most timeoutMs; an arriving byte ends
// the wait at once. PortError when the port is closed or has gone.
WaitResult WaitForBytes(SerialPort& port, int count, int timeoutMs);

// One byte read on its own; -1 when none came.
int ReadByte(SerialPort& port);
void WriteByte(SerialPort& port, std::uint8_t byte);

void SleepMs(int ms);

}  // namespace molvane
