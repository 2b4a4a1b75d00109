#include "cart/command_steps.h"

#include "app/cart_controller.h"

namespace molvane {

void SendAndDrop(CartController& controller, const std::string& command) {
  controller.SendCommand(command);
  controller.ReadReply();
}

std::string SendAndRead(CartController& controller, const std::string& command) {
  controller.SendCommand(command);
  return controller.ReadReply();
}

}  // namespace molvane
