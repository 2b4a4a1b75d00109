#include "cart/cart_identity.h"

#include <algorithm>
#include <string>
#include <vector>

#include "app/cart_controller.h"
#include "cart/command_steps.h"
#include "cart/setup_values.h"

namespace molvane {
namespace {

std::string QuotedCommand(const char* word, const std::string& text) {
  return std::string(word) + " \"" + SingleLine(text).substr(0, kMaxIdentityLength) + "\"";
}

// The cart answers with the text in quotes and a second line that is not needed.
Result<std::string> ReadIdentity(CartController& controller, const char* command) {
  Result<std::vector<std::string>> reply = controller.Exchange(command, 2);
  std::string text = std::move(reply.value.front());
  text.erase(std::remove(text.begin(), text.end(), '"'), text.end());
  return {std::move(text), std::move(reply.outcome)};
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
