#include "link/port_open_error.h"

#include "link/port_holder.h"

namespace molvane {
namespace {

std::string BusyText(const std::string& port) {
  std::string text = port + ": port is busy (another program has it open)";
  const std::vector<PortHolder> holders = FindPortHolders(port);
  // Where neither the holder nor a usual culprit is known, there is nothing more to say.
  if (holders.empty() && KnownCulprits().empty()) return text;
  return text + "; " + DescribePortHolders(holders);
}

}  // namespace

std::string DescribeOpenError(const std::string& port, OpenError error,
                              const std::string& systemText) {
  switch (error) {
    case OpenError::Missing:
      return port + ": no such port (is the cable plugged in?)";
    case OpenError::Busy:
      return BusyText(port);
    case OpenError::NotSerialPort:
      return port +
             ": not a serial port (no terminal device: name the cart's port, such as "
             "/dev/ttyUSB0)";
    case OpenError::PermissionDenied:
      return port +
             ": permission denied (add yourself to the 'dialout' group: "
             "sudo usermod -aG dialout $USER, then log in again)";
    default:
      return port + ": cannot be opened" + (systemText.empty() ? "" : " (" + systemText + ")");
  }
}

}  // namespace molvane
