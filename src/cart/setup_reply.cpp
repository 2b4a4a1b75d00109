#include "cart/setup_reply.h"

#include <vector>

#include "app/cart_controller.h"
#include "base/number_text.h"
#include "cart/reply_fields.h"
#include "cart/setup_values.h"

namespace molvane {

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
