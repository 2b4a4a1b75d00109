#include "cart/command_vocabulary.h"

#include <string>

#include "app/cart_controller.h"
#include "base/number_text.h"
#include "cart/command_steps.h"
#include "cart/lift_settings.h"
#include "cart/setup_values.h"

namespace molvane {
namespace {

std::string WithNumber(const char* word, int value) {
  return std::string(word) + " " + std::to_string(value);
}

// The cart needs a moment more after each lock time before it answers.
Outcome SendLockTime(CartController& controller, const char* word, int ms) {
  return controller.Exchange(WithNumber(word, ms), 1, controller.GetTiming().commandPauseMs)
      .outcome;
}

}  // namespace

Outcome SetKeyboardTimeout(CartController& c, int seconds) {
  return SendAndDrop(c, WithNumber("keyboard_set_timeout", seconds));
}

Outcome SetBacklightTimeout(CartController& c, int seconds) {
  return SendAndDrop(c, WithNumber("backlight_set_timeout", seconds));
}

Outcome SetRelockTimeout(CartController& c, int seconds) {
  return SendAndDrop(c, WithNumber("relock_set_timeout", seconds));
}

Outcome SetLockActivation(CartController& c, int mainMs, int sideMs) {
  // Both are always sent: the side time is its own setting whatever became of the main one.
  Outcome sent = SetMainLockActivation(c, mainMs);
  return sent.Merge(SetSideLockActivation(c, sideMs));
}

Outcome SetMainLockActivation(CartController& c, int ms) {
  return SendLockTime(c, "set_main_lock_active", ms);
}

Outcome SetSideLockActivation(CartController& c, int ms) {
  return SendLockTime(c, "set_side_lock_active", ms);
}

Outcome SetCartType(CartController& c, int code) {
  const int lowByte = code & 0xFF;
  if (lowByte != kMotorLockCode && lowByte != kSolenoidLockCode) {
    return Outcome::Failure(
        "The lock type " + std::to_string(code) +
        " is neither a motor (85) nor a solenoid (170) lock; nothing was sent.");
  }
  return SendAndDrop(c, WithNumber("set_cart_type", lowByte));
}

Outcome ToggleKeyboardLight(CartController& c) { return SendAndDrop(c, "keyboard_toggle"); }
Outcome Lock(CartController& c) { return SendAndDrop(c, "lock"); }
Outcome Unlock(CartController& c) { return SendAndDrop(c, "unlock"); }
Outcome ResetCycleCount(CartController& c) { return SendAndDrop(c, "cycle_count_reset"); }

Outcome SetSensorRun(CartController& c, int on) {
  return SendAndDrop(c, WithNumber("sensor_run", on > 1 ? 1 : (on < 0 ? 0 : on)));
}

Outcome SetSensorMask(CartController& c, int mask) {
  return SendAndDrop(c, WithNumber("sensor_set_mask", mask & 0xFF));
}

Outcome SetLiftMinVolts(CartController& c, float volts) {
  return SendAndDrop(c, WithNumber("lift_set_min_volts", LiftVoltsToTenths(volts)));
}

Outcome SetLiftMaxUpCurrent(CartController& c, float amperes) {
  return SendAndDrop(c, WithNumber("lift_set_max_current", LiftCurrentToTenths(amperes)));
}

Outcome SetLiftMaxDownCurrent(CartController& c, float amperes) {
  return SendAndDrop(c, WithNumber("lift_set_dn_max_current", LiftCurrentToTenths(amperes)));
}

Outcome SetLiftLock(CartController& c, int locked) {
  return SendAndDrop(c, WithNumber("set_lift_lock", locked != 0 ? 1 : 0));
}

Outcome SetLiftRelockTimeout(CartController& c, int seconds) {
  return SendAndDrop(c, WithNumber("set_lift_relock_timeout", seconds));
}

Outcome SetLiftRelockStatus(CartController& c, int on) {
  return SendAndDrop(c, WithNumber("set_lift_relock_status", on == 1 ? 1 : 0));
}

Outcome LiftUp(CartController& c) { return SendAndDrop(c, "lift_up"); }
Outcome LiftDown(CartController& c) { return SendAndDrop(c, "lift_dn"); }
Outcome LiftOff(CartController& c) { return SendAndDrop(c, "lift_off"); }

Result<int> GetSensorRun(CartController& c) {
  Result<std::string> reply = SendAndRead(c, "sensor_get_run");
  return {TextToInt(reply.value), reply.outcome};
}

Result<std::string> GetLockBits(CartController& c) { return SendAndRead(c, "lockbits"); }
Result<std::string> GetCalibFastData(CartController& c) {
  return SendAndRead(c, "get_calib_fast_data");
}
Result<std::string> GetCalibSlowData(CartController& c) {
  return SendAndRead(c, "get_calib_slow_data");
}
Result<std::string> GetSetupDlgFull(CartController& c) {
  return SendAndRead(c, "get_setup_dlg_full");
}
Result<std::string> GetCycleCount(CartController& c) { return SendAndRead(c, "get_cycle_count"); }

}  // namespace molvane
