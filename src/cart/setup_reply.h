#pragma once
#include <string>
#include <string_view>

namespace molvane {

// The settings the cart reports in one "get_setup_dlg_full" line: backlight, keyboard light and
// drawer lock-down timeouts, the lock type, the two lock activation times and the power supply.
struct SetupSettings {
  int backlightTimeout = 0;
  int keyboardTimeout = 0;
  int relockTimeout = 0;
  bool motorLock = false;  // lock type code 85; every other code means solenoid
  int mainLockMs = 0;
  int sideLockMs = 0;
  std::string powerSupply;  // the cart's word as sent
  int powerSupplyKind = 0;  // 1 AC, 2 DC, 0 neither
};

// Items are separated by one or more blanks. Missing or non-numeric items read as 0, a missing
// power supply word as empty (kind 0), so an error text decodes to all zeros and solenoid.
SetupSettings DecodeSetupReply(std::string_view reply);

}  // namespace molvane
