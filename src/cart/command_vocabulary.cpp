#include "cart/command_vocabulary.h"

#include <cmath>
#include <string>

#include "app/cart_controller.h"
#include "cart/command_steps.h"
#include "cart/setup_values.h"
#include "base/number_text.h"

namespace molvane {
namespace {

constexpr int kLiftLimitMax = 767;

// Truncated tenths, limited before any conversion so that huge or NaN inputs stay defined.
double TruncatedTenths(double tenths) {
  if (std::isnan(tenths) || tenths < 0) return 0;
  if (tenths >= kLiftLimitMax + 1) return kLiftLimitMax + 1;
  return std::trunc(tenths);
}

int ClampLiftLimit(double tenths) {
  return tenths > kLiftLimitMax ? kLiftLimitMax : static_cast<int>(tenths);
}

std::string WithNumber(const char* word, int value) {
  return std::string(word) + " " + std::to_string(value);
}

}  // namespace

int LiftVoltsToTenths(float volts) {
  const double tenths = static_cast<double>(volts) * 10.0;
  double n = TruncatedTenths(tenths);
  if (tenths - n > static_cast<double>(0.05f)) n += 1;
  return ClampLiftLimit(n);
}

// A typed 2.3 is the float 2.2999999523..., ten times which truncates to 22: a limit shown and
// sent back unchanged would fall by a tenth at every Update. A value within a thousandth of a
// tenth below a whole tenth is taken as that tenth; anything further below is still truncated.
int LiftCurrentToTenths(float amperes) {
  constexpr double kRepresentationSlack = 1e-3;
  return ClampLiftLimit(
      TruncatedTenths(static_cast<double>(amperes) * 10.0 + kRepresentationSlack));
}

void CartController::SetKeyboardTimeout(int seconds) {
  SendAndDrop(*this, WithNumber("keyboard_set_timeout", seconds));
}

void CartController::SetBacklightTimeout(int seconds) {
  SendAndDrop(*this, WithNumber("backlight_set_timeout", seconds));
}

void CartController::SetRelockTimeout(int seconds) {
  SendAndDrop(*this, WithNumber("relock_set_timeout", seconds));
}

void CartController::SetLockActivation(int mainMs, int sideMs) {
  SendCommand(WithNumber("set_main_lock_active", mainMs));
  PauseMs(timing.commandPauseMs);
  ReadReply();
  SendCommand(WithNumber("set_side_lock_active", sideMs));
  PauseMs(timing.commandPauseMs);
  ReadReply();
}

void CartController::SetCartType(int code) {
  const int lowByte = code & 0xFF;
  if (lowByte != kMotorLockCode && lowByte != kSolenoidLockCode) return;
  SendAndDrop(*this, WithNumber("set_cart_type", lowByte));
}

void CartController::ToggleKeyboardLight() { SendAndDrop(*this, "keyboard_toggle"); }
void CartController::Lock() { SendAndDrop(*this, "lock"); }
void CartController::Unlock() { SendAndDrop(*this, "unlock"); }
void CartController::ResetCycleCount() { SendAndDrop(*this, "cycle_count_reset"); }

void CartController::SetSensorRun(int on) {
  SendAndDrop(*this, WithNumber("sensor_run", on > 1 ? 1 : (on < 0 ? 0 : on)));
}

void CartController::SetSensorMask(int mask) {
  SendAndDrop(*this, WithNumber("sensor_set_mask", mask & 0xFF));
}

void CartController::SetLiftMinVolts(float volts) {
  SendAndDrop(*this, WithNumber("lift_set_min_volts", LiftVoltsToTenths(volts)));
}

void CartController::SetLiftMaxUpCurrent(float amperes) {
  SendAndDrop(*this, WithNumber("lift_set_max_current", LiftCurrentToTenths(amperes)));
}

void CartController::SetLiftMaxDownCurrent(float amperes) {
  SendAndDrop(*this, WithNumber("lift_set_dn_max_current", LiftCurrentToTenths(amperes)));
}

void CartController::SetLiftLock(int locked) {
  SendAndDrop(*this, WithNumber("set_lift_lock", locked != 0 ? 1 : 0));
}

void CartController::SetLiftRelockTimeout(int seconds) {
  SendAndDrop(*this, WithNumber("set_lift_relock_timeout", seconds));
}

void CartController::SetLiftRelockStatus(int on) {
  SendAndDrop(*this, WithNumber("set_lift_relock_status", on == 1 ? 1 : 0));
}

void CartController::LiftUp() { SendAndDrop(*this, "lift_up"); }
void CartController::LiftDown() { SendAndDrop(*this, "lift_dn"); }
void CartController::LiftOff() { SendAndDrop(*this, "lift_off"); }

int CartController::GetSensorRun() { return TextToInt(SendAndRead(*this, "sensor_get_run")); }
std::string CartController::GetLockBits() { return SendAndRead(*this, "lockbits"); }
std::string CartController::GetCalibFastData() { return SendAndRead(*this, "get_calib_fast_data"); }
std::string CartController::GetCalibSlowData() { return SendAndRead(*this, "get_calib_slow_data"); }
std::string CartController::GetSetupDlgFull() { return SendAndRead(*this, "get_setup_dlg_full"); }
std::string CartController::GetCycleCount() { return SendAndRead(*this, "get_cycle_count"); }

}  // namespace molvane
