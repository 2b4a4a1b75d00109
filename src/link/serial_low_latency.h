#pragma once
#include <string>

namespace molvane {

// The kernel driver behind an open character device ("ftdi_sio", "cdc_acm"), as sysfs names it
// (`sysfsRoot` is "/sys"; tests give a made-up tree); empty for a device without one, such as a
// pseudo-terminal.
std::string SerialDriverName(int fd, const std::string& sysfsRoot = "/sys");

// Asks the FTDI driver of an open device to hand on received bytes at once: the adapter
// otherwise holds a short reply back until its latency timer (16 ms) runs out, on every command.
// Other drivers are not asked, since the flag means something else to each or nothing at all.
// True when this set the flag, which then belongs to us until UndoLowLatency: the device's next
// user, another program, expects the driver's own setting. A refusal changes nothing.
bool RequestLowLatency(int fd);
void UndoLowLatency(int fd);

}  // namespace molvane
