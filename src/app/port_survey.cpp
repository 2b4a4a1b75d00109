#include <algorithm>

#include "app/cart_controller.h"
#include "link/port_open_error.h"

namespace molvane {
namespace {

constexpr const char* kNotProbed = ": not probed (a firmware update or bitmap upload is running)";

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
      lines.push_back(name + (currentPort.load() == i ? ": cart connected (the current port)"
                                                      : ": open, a cart answered here before"));
    } else {
      const int previous = currentPort.load();
      switch (ProbePort(i)) {
        case ProbeResult::Cart:
          if (previous >= 0 && previous != i) {
            // The cart already in use stays the current one.
            port.Close();
            currentPort = previous;
            lines.push_back(name + ": cart answered (a second cart; the current port is " +
                            PortName(previous) + ")");
          } else {
            lines.push_back(name + ": cart answered");
          }
          break;
        case ProbeResult::NoCart:
          lines.push_back(name + ": no cart answered");
          break;
        case ProbeResult::Bootloader:
          lines.push_back(MessageText());
          break;
        case ProbeResult::NotOpened:
          lines.push_back(DescribeOpenError(name, port.LastOpenError(), port.LastOpenErrorText()));
          break;
      }
    }
  }
  return lines;
}

}  // namespace molvane
