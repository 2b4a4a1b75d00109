#include <algorithm>
#include <string>

#include "app/cart_controller.h"
#include "cart/command_steps.h"
#include "cart/setup_values.h"

namespace molvane {
namespace {

std::string QuotedCommand(const char* word, const std::string& text) {
  return std::string(word) + " \"" + SingleLine(text).substr(0, kMaxIdentityLength) + "\"";
}

// The cart answers with the text in quotes and a second line that is not needed.
std::string ReadIdentity(CartController& controller, const char* command) {
  std::string reply = SendAndRead(controller, command);
  reply.erase(std::remove(reply.begin(), reply.end(), '"'), reply.end());
  controller.ReadReply();
  return reply;
}

}  // namespace

void CartController::SetCartName(const std::string& name) {
  SendAndDrop(*this, QuotedCommand("cart_name_set", name));
}

std::string CartController::GetCartName() { return ReadIdentity(*this, "cart_name_get"); }

void CartController::SetSerialNumber(const std::string& text) {
  SendAndDrop(*this, QuotedCommand("serial_set", text));
}

std::string CartController::GetSerialNumber() { return ReadIdentity(*this, "serial_get"); }

}  // namespace molvane
