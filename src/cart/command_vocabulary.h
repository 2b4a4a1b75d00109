#pragma once
#include <string>

#include "app/outcome.h"

namespace molvane {

class CartController;

// The cart's settings and actions, one command each. Every operation returns whether the cart
// took the command; a refusal ("error", "unknown cmd"), a time-out or no cart is a failure with
// the operator's text.
Outcome SetKeyboardTimeout(CartController& controller, int seconds);
Outcome SetBacklightTimeout(CartController& controller, int seconds);
Outcome SetRelockTimeout(CartController& controller, int seconds);
// Both commands are always sent, the main lock's first.
Outcome SetLockActivation(CartController& controller, int mainMs, int sideMs);
// Each lock's time alone, for a caller that must know which of the two the cart took.
Outcome SetMainLockActivation(CartController& controller, int ms);
Outcome SetSideLockActivation(CartController& controller, int ms);
// 85 (motor) and 170 (solenoid) only, by the code's low byte; any other code is refused and
// nothing is sent.
Outcome SetCartType(CartController& controller, int code);
Outcome ToggleKeyboardLight(CartController& controller);
Outcome Lock(CartController& controller);
Outcome Unlock(CartController& controller);
Outcome ResetCycleCount(CartController& controller);
Outcome SetSensorRun(CartController& controller, int on);     // limited to 0..1
Outcome SetSensorMask(CartController& controller, int mask);  // its low 8 bits
// The lift's limits, converted to tenths (LiftVoltsToTenths, LiftCurrentToTenths).
Outcome SetLiftMinVolts(CartController& controller, float volts);
Outcome SetLiftMaxUpCurrent(CartController& controller, float amperes);
Outcome SetLiftMaxDownCurrent(CartController& controller, float amperes);
Outcome SetLiftLock(CartController& controller, int locked);
Outcome SetLiftRelockTimeout(CartController& controller, int seconds);
Outcome SetLiftRelockStatus(CartController& controller, int on);
Outcome LiftUp(CartController& controller);
Outcome LiftDown(CartController& controller);
Outcome LiftOff(CartController& controller);

// Queries: the reply as the cart gave it (or its number), and whether it came.
Result<int> GetSensorRun(CartController& controller);
Result<std::string> GetLockBits(CartController& controller);
Result<std::string> GetCalibFastData(CartController& controller);
Result<std::string> GetCalibSlowData(CartController& controller);
Result<std::string> GetSetupDlgFull(CartController& controller);
Result<std::string> GetCycleCount(CartController& controller);

}  // namespace molvane
