#include "cart/command_steps.h"

#include <algorithm>

#include "app/cart_controller.h"
#include "app/operation_scope.h"

namespace molvane {

Outcome SendAndDrop(CartController& controller, const std::string& command) {
  OperationScope operation(controller);
  controller.SendCommand(command);
  controller.ReadReply();
  return operation.Result();
}

Result<std::string> SendAndRead(CartController& controller, const std::string& command) {
  OperationScope operation(controller);
  controller.SendCommand(command);
  std::string reply = controller.ReadReply();
  return {std::move(reply), operation.Result()};
}

std::string SingleLine(std::string text) {
  text.erase(
      std::remove_if(text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }),
      text.end());
  return text;
}

}  // namespace molvane
