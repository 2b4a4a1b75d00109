// What discovery finds, and what answers on each port found.
#include <cstdio>

#include "cli/cli_context.h"

namespace molvanectl {
namespace {

std::string ProbeText(molvane::CartController& controller, int index) {
  const std::string name = controller.PortName(index);
  const molvane::SerialPort& port = controller.ports[static_cast<std::size_t>(index)];
  switch (controller.ProbePort(index)) {
    case molvane::CartController::ProbeResult::Cart:
      // The cart stays free for the next program once it has been seen.
      controller.ports[static_cast<std::size_t>(index)].Close();
      controller.currentPort = -1;
      return name + ": cart answered";
    case molvane::CartController::ProbeResult::NoCart:
      return name + ": no cart answered";
    case molvane::CartController::ProbeResult::Bootloader:
      return controller.MessageText();
    case molvane::CartController::ProbeResult::NotOpened:
      break;
  }
  return DescribeOpenError(name, port.LastOpenError(), port.LastOpenErrorText());
}

void Ports(CliContext& context) {
  auto& controller = context.controller;
  controller.FindFtdiPorts();
  if (controller.MessageText() == molvane::texts::kNoDrivers) {
    context.Fail(molvane::texts::kNoDrivers);
    return;
  }
  const int count = controller.portCount.load();
  if (count <= 0) {
    context.Fail(molvane::texts::kNoPorts);
    return;
  }
  for (int i = 0; i < count && i < molvane::CartController::kMaxPorts; ++i) {
    std::printf("%s\n", ProbeText(controller, i).c_str());
  }
}

const Registration registration([](CLI::App& app, CliContext& context) {
  app.add_subcommand("ports", "List the FTDI ports (and MOLVANE_PORTS) and what answers on each")
      ->callback([&context] { Ports(context); });
});

}  // namespace
}  // namespace molvanectl
