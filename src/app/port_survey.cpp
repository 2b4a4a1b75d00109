#include <algorithm>

#include "app/cart_controller.h"
#include "app/port_probe.h"
#include "link/port_open_error.h"

namespace molvane {
namespace {

constexpr const char* kNotProbed = ": not probed (a firmware update or bitmap upload is running)";

// A port in use is described with what could not be seen of its other holders.
std::string WithUnseenHolders(const std::string& line, const SerialPort& port) {
  return port.UnseenHolders().empty() ? line : line + "; " + port.UnseenHolders();
}

}  // namespace

std::vector<std::string> CartController::SurveyPorts() {
  std::vector<std::string> lines;
  const int count = std::clamp(portCount.load(), 0, kMaxPorts);
  for (int i = 0; i < count; ++i) {
    std::lock_guard hands(scanPortMutex);
    const std::string name = PortName(i);
    if (name.empty()) continue;
    SerialPort& port = ports[static_cast<std::size_t>(i)];
    if (IsBusy()) {
      lines.push_back(name + kNotProbed);
    } else if (port.IsOpen()) {
      lines.push_back(WithUnseenHolders(
          name + (currentPort.load() == i ? ": cart connected (the current port)"
                                          : ": open, a cart answered here before"),
          port));
    } else {
      const int previous = currentPort.load();
      const ProbeResult result = ProbePort(i);
      if (result == ProbeResult::Cart && previous >= 0 && previous != i) {
        // The cart already in use stays the current one.
        port.Close();
        currentPort = previous;
        lines.push_back(name + ": cart answered (a second cart; the current port is " +
                        PortName(previous) + ")");
      } else {
        lines.push_back(ProbeResultText(i, result));
      }
    }
  }
  return lines;
}

std::string CartController::ProbeResultText(int i, ProbeResult result) const {
  const std::string name = PortName(i);
  const SerialPort& port = ports[static_cast<std::size_t>(i)];
  switch (result) {
    case ProbeResult::Cart:
      return WithUnseenHolders(name + ": cart answered", port);
    case ProbeResult::NoCart:
      return WithUnseenHolders(name + ": no cart answered", port);
    case ProbeResult::Bootloader:
      return BootloaderWaitingText(name);
    case ProbeResult::NotOpened:
      break;
  }
  return DescribeOpenError(name, port.LastOpenError(), port.LastOpenErrorText());
}

}  // namespace molvane
