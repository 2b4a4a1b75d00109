#include "cli/cli_context.h"

#include <cstdio>

namespace molvanectl {

std::vector<CommandAdder>& CommandAdders() {
  static std::vector<CommandAdder> adders;
  return adders;
}

std::string DescribeOpenError(const std::string& port, molvane::OpenError error) {
  switch (error) {
    case molvane::OpenError::Missing:
      return port + ": no such port (is the cable plugged in?)";
    case molvane::OpenError::Busy:
      return port + ": port is busy (another program has it open)";
    case molvane::OpenError::PermissionDenied:
      return port + ": permission denied (add yourself to the 'dialout' group: "
                    "sudo usermod -aG dialout $USER, then log in again)";
    default:
      return port + ": cannot be opened";
  }
}

void CliContext::Fail(const std::string& line) {
  std::fprintf(stderr, "%s\n", line.c_str());
  exitCode = 1;
}

bool CliContext::Connect() {
  if (!port.empty()) {
    if (controller.ConnectPort(port)) return true;
    const molvane::OpenError error = controller.ports[0].LastOpenError();
    Fail(error == molvane::OpenError::None ? "Error: Timeout (no cart answered on " + port + ")"
                                            : "Error: " + DescribeOpenError(port, error));
    return false;
  }
  controller.FindFtdiPorts();
  const int count = controller.portCount.load();
  for (int i = 0; i < count; ++i) {
    if (controller.ProbePort(i) == molvane::CartController::ProbeResult::Cart) {
      controller.cartCount = 1;
      return true;
    }
  }
  const std::string message = controller.MessageText();
  Fail(!message.empty() ? "Error: " + message
       : count == 0     ? std::string("Error: no cart found (no FTDI port; set MOLVANE_PORTS to use another port)")
                        : "Error: no cart found on " + std::to_string(count) +
                          " port(s); 'molvanectl ports' tells why");
  return false;
}

bool CliContext::CheckLink() {
  if (controller.currentPort.load() >= 0) return true;
  Fail(controller.MessageText().empty() ? "Error: the cart stopped answering" : controller.MessageText());
  return false;
}

}  // namespace molvanectl
