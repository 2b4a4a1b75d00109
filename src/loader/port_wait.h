#pragma once
#include <cstdint>

#include "link/serial_port.h"
#include "loader/deadline.h"

namespace molvane {

enum class WaitResult { Ready, Timeout, PortError, Stopped };

// Waits until at least `count` received bytes wait, until the deadline is over; an arriving byte
// ends the wait at once. PortError when the port is closed or has gone; Stopped when the
// deadline's stop flag or the port's interrupt ended the wait.
WaitResult WaitForBytes(SerialPort& port, int count, const Deadline& deadline);

// One byte read on its own; -1 when none came.
int ReadByte(SerialPort& port);
PortIo WriteByte(SerialPort& port, std::uint8_t byte, TraceWrite traceWrite = TraceWrite::Yes);

void SleepMs(int ms);
// Sleeps until the deadline is over; false when its stop flag ended the pause early.
bool Pause(const Deadline& deadline);

}  // namespace molvane
