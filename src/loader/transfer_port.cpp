#include "loader/transfer_port.h"

#include <algorithm>

#include "app/cart_controller.h"
#include "loader/loader_texts.h"

namespace molvane {
namespace {

PortChoice OpenAnyListedPort(CartController& c) {
  int count = std::min(c.portCount.load(), CartController::kMaxPorts);
  if (count <= 0) return PortChoice::NoPorts;
  for (int i = 0; i < count; ++i) {
    c.ports[i].Close();
    if (c.OpenCartPort(i)) {
      c.currentPort = i;
    } else {
      c.ports[i].Close();
    }
  }
  return c.currentPort.load() >= 0 ? PortChoice::Ready : PortChoice::NoneOpened;
}

}  // namespace

PortChoice ChooseTransferPort(CartController& c, bool reopenKnown) {
  int index = c.currentPort.load();
  if (index < 0 || index >= CartController::kMaxPorts) {
    c.currentPort = -1;
    return OpenAnyListedPort(c);
  }
  SerialPort& port = c.ports[index];
  if (port.IsOpen() && !reopenKnown) return PortChoice::Ready;
  port.Close();
  if (c.OpenCartPort(index)) return PortChoice::Ready;
  port.Close();
  return PortChoice::ReopenFailed;
}

const char* PortChoiceMessage(PortChoice choice) {
  switch (choice) {
    case PortChoice::NoPorts:
      return texts::kNoPorts;
    case PortChoice::NoneOpened:
      return texts::kNoPortOpened;
    case PortChoice::ReopenFailed:
      return texts::kPortNotReopened;
    case PortChoice::Ready:
      break;
  }
  return "";
}

}  // namespace molvane
