#include "cart/setup_reply.h"

#include <vector>

#include "app/cart_controller.h"
#include "cart/setup_values.h"
#include "app/number_text.h"

namespace molvane {
namespace {

std::vector<std::string_view> BlankSeparatedItems(std::string_view text) {
  std::vector<std::string_view> items;
  std::size_t at = text.find_first_not_of(" \t");
  while (at != std::string_view::npos) {
    const std::size_t end = text.find_first_of(" \t", at);
    items.push_back(text.substr(at, end == std::string_view::npos ? end : end - at));
    at = text.find_first_not_of(" \t", end);
  }
  return items;
}

}  // namespace

SetupSettings DecodeSetupReply(std::string_view reply) {
  const std::vector<std::string_view> items = BlankSeparatedItems(reply);
  const auto number = [&](std::size_t i) { return i < items.size() ? TextToInt(items[i]) : 0; };
  SetupSettings settings;
  settings.backlightTimeout = number(0);
  settings.keyboardTimeout = number(1);
  settings.relockTimeout = number(2);
  settings.motorLock = number(3) == kMotorLockCode;
  settings.mainLockMs = number(4);
  settings.sideLockMs = number(5);
  if (items.size() > 6) settings.powerSupply = std::string(items[6]);
  settings.powerSupplyKind = PowerSupplyKind(settings.powerSupply);
  return settings;
}

}  // namespace molvane
