#include "cart/command_steps.h"

#include <algorithm>
#include <vector>

#include "app/cart_controller.h"

namespace molvane {

Outcome SendAndDrop(CartController& controller, const std::string& command) {
  return controller.Exchange(command).outcome;
}

Result<std::string> SendAndRead(CartController& controller, const std::string& command) {
  Result<std::vector<std::string>> reply = controller.Exchange(command);
  return {std::move(reply.value.front()), std::move(reply.outcome)};
}

std::string SingleLine(std::string text) {
  text.erase(
      std::remove_if(text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }),
      text.end());
  return text;
}

}  // namespace molvane
