#pragma once

namespace molvane {

// Asks the serial driver of an open device to hand on received bytes at once. An FTDI adapter
// otherwise holds a short reply back until its latency timer (16 ms) runs out, on every
// command. A device that refuses (a pseudo-terminal, a driver without the setting, a user
// without the right) keeps its own timing: nothing else depends on it.
void RequestLowLatency(int fd);

}  // namespace molvane
