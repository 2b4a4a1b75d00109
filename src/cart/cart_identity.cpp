#include "cart/cart_identity.h"

#include <algorithm>
#include <string>

#include "app/cart_controller.h"
#include "app/operation_scope.h"
#include "cart/command_steps.h"
#include "cart/setup_values.h"

namespace molvane {
namespace {

std::string QuotedCommand(const char* word, const std::string& text) {
  return std::string(word) + " \"" + SingleLine(text).substr(0, kMaxIdentityLength) + "\"";
}

// The cart answers with the text in quotes and a second line that is not needed.
Result<std::string> ReadIdentity(CartController& controller, const char* command) {
  OperationScope operation(controller);
  std::string reply = SendAndRead(controller, command).value;
  reply.erase(std::remove(reply.begin(), reply.end(), '"'), reply.end());
  controller.ReadReply();
  return {std::move(reply), operation.Result()};
}

}  // namespace

Outcome SetCartName(CartController& controller, const std::string& name) {
  return SendAndDrop(controller, QuotedCommand("cart_name_set", name));
}

Result<std::string> GetCartName(CartController& controller) {
  return ReadIdentity(controller, "cart_name_get");
}

Outcome SetSerialNumber(CartController& controller, const std::string& text) {
  return SendAndDrop(controller, QuotedCommand("serial_set", text));
}

Result<std::string> GetSerialNumber(CartController& controller) {
  return ReadIdentity(controller, "serial_get");
}

}  // namespace molvane
