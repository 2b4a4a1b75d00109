#include "cart/command_steps.h"

#include <algorithm>

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

std::string SingleLine(std::string text) {
  text.erase(
      std::remove_if(text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }),
      text.end());
  return text;
}

}  // namespace molvane
