#include "pages/calibrate_page.h"

#include "app/cart_controller.h"
#include "base/number_text.h"
#include "cart/calib_reply.h"
#include "cart/command_vocabulary.h"
#include "cart/lift_settings.h"
#include "cart/setup_values.h"
#include "pages/failure_text.h"
#include "pages/ui_services.h"

namespace molvane {

namespace {

// What a lift command's failure adds for the operator: a lost link may have cut the cart off
// after it started the motor, and a locked lift is held by its brake.
std::string LiftNote(const std::string& failure, bool locked) {
  std::string note;
  if (LiftMoveFailureText(failure) != failure) note += " The lift may still be moving.";
  if (locked && IsRefusal(failure))
    note += " The lift is locked: free it with Toggle Lock, then try again.";
  return note;
}

}  // namespace

void CalibratePage::Start() {
  SetShown(false);
  refreshPending = false;
}

// What the page showed was the cart's before: it goes, so that no reading (nor limit, which
// Update Cart would send) of a cart that is gone, or of another, passes for this one's.
void CalibratePage::CartNotice(bool present) {
  ForgetCart();
  WriteAllFields();
  if (!present) return;
  if (IsShown()) {
    SlowRefresh();
  } else {
    refreshPending = true;
  }
}

void CalibratePage::ForgetCart() {
  liftLocked = autoLock = false;
  sensorLit = {};
  layoutSelected = {};
  for (std::string* field : {&sensorStatus, &sensorValue, &maxUpCurrent, &maxDownCurrent,
                             &minBatteryVoltage, &autoLockTimeout, &drawerCode, &lockBits}) {
    field->clear();
  }
}

void CalibratePage::Poll() {
  // A running transfer owns the port; a command cut into it would corrupt the transfer.
  if (!Link().IsBusy()) FastRefresh("Calibration poll");
}

void CalibratePage::Show(bool visible) {
  SetShown(visible);
  if (visible && refreshPending && !Link().IsBusy()) SlowRefresh();
}

void CalibratePage::FastRefresh(const std::string& key) {
  OnCart([](CartController& c) { return GetCalibFastData(c); },
         [this](const Result<std::string>& reply) {
           TakeFast(reply);
           WriteAllFields();
         },
         {.key = key});
}

void CalibratePage::TakeFast(const Result<std::string>& reply) {
  if (!reply) return;
  const CalibFastData data = DecodeCalibFastReply(reply.value);
  liftLocked = data.liftLocked;
  autoLock = data.autoLock;
  sensorStatus = SensorRunText(data.sensorsRunning);
  sensorValue = HexCodeText(data.sensorBits);
  for (int bit = 0; bit < kSensorBitCount; ++bit)
    sensorLit[static_cast<std::size_t>(bit)] = ((data.sensorBits >> bit) & 1) != 0;
}

void CalibratePage::SlowRefresh() {
  OnCart([](CartController& c) { return GetCalibSlowData(c); },
         [this](const Result<std::string>& reply) {
           TakeSlow(reply);
           WriteAllFields();
         });
}

// A report that did not arrive would read as all zeros, and the next Update Cart would send
// them: limits of 0 stop the lift and disarm its battery guard. What was shown stays.
void CalibratePage::TakeSlow(const Result<std::string>& reply) {
  if (!reply) return;
  const CalibSlowData data = DecodeCalibSlowReply(reply.value);
  maxUpCurrent = TenthsText(data.maxUpCurrentTenths);
  maxDownCurrent = TenthsText(data.maxDownCurrentTenths);
  minBatteryVoltage = TenthsText(data.minVoltsTenths);
  autoLockTimeout = WholeSecondsText(data.relockTimeout);
  const int selected = DrawerLayoutIndex(data.drawerCode);
  for (int i = 0; i < kLayoutCount; ++i)
    layoutSelected[static_cast<std::size_t>(i)] = i == selected;
  drawerCode = HexCodeText(data.drawerCode);
}

bool CalibratePage::PortFree() const {
  if (!Link().IsBusy()) return true;
  ShowFailure({}, kTransferRunning);
  return false;
}

// The change, then the fast report, which shows what it did; a change that did not go through
// is told, named by `action`, with what `note` adds to its failure.
void CalibratePage::AfterChange(std::function<Outcome(CartController&)> change,
                                const std::string& action,
                                std::function<std::string(const std::string&)> note) {
  if (!PortFree()) return;
  OnCart(
      [change = std::move(change)](CartController& c) {
        const Outcome sent = change(c);
        return std::pair{sent, GetCalibFastData(c)};
      },
      [this, action, note](const std::pair<Outcome, Result<std::string>>& result) {
        TakeFast(result.second);
        WriteAllFields();
        const Outcome& sent = result.first;
        if (!sent) ShowFailure({}, FailureText(action, sent.text) + (note ? note(sent.text) : ""));
      });
}

void CalibratePage::RunSensors() { SetSensorRunning(1); }
void CalibratePage::StopSensors() { SetSensorRunning(0); }

void CalibratePage::SetSensorRunning(int on) {
  if (!PortFree()) return;
  OnCart(
      [on](CartController& c) {
        const Outcome sent = SetSensorRun(c, on);
        return std::pair{sent, GetSensorRun(c)};
      },
      [this, on](const std::pair<Outcome, Result<int>>& result) {
        if (result.second) sensorStatus = SensorRunText(result.second.value != 0);
        WriteAllFields();
        if (!result.first) {
          ShowFailure(on != 0 ? "Starting the drawer sensors" : "Stopping the drawer sensors",
                      result.first.text);
        }
      });
}

void CalibratePage::LiftUp() { MoveLift(true); }
void CalibratePage::LiftDown() { MoveLift(false); }

// Whether the lift was locked is taken as the page shows it when the button is pressed.
void CalibratePage::MoveLift(bool up) {
  ReadAllFields();
  AfterChange(
      [up](CartController& c) { return up ? molvane::LiftUp(c) : molvane::LiftDown(c); },
      up ? "Lift Up" : "Lift Down",
      [locked = liftLocked](const std::string& failure) { return LiftNote(failure, locked); });
}

void CalibratePage::Brake() {
  if (!PortFree()) return;
  OnCart([](CartController& c) { return LiftOff(c); },
         [this](const Outcome& braked) {
           if (!braked)
             ShowFailure({}, FailureText("Brake", braked.text) + LiftNote(braked.text, false));
         });
}

// The toggles send the opposite of what the page shows now.
void CalibratePage::ToggleLock() {
  ReadAllFields();
  AfterChange([locked = liftLocked](CartController& c) { return SetLiftLock(c, locked ? 0 : 1); },
              "Toggle Lock");
}

void CalibratePage::ToggleAuto() {
  ReadAllFields();
  AfterChange([on = autoLock](CartController& c) { return SetLiftRelockStatus(c, on ? 0 : 1); },
              "Toggle Auto");
}

void CalibratePage::LockBits() {
  if (!PortFree()) return;
  OnCart([](CartController& c) { return GetLockBits(c); },
         [this](const Result<std::string>& bits) {
           KeepIfRead(lockBits, bits);
           WriteAllFields();
           if (!bits) ShowFailure("Lock Bits", bits.outcome.text);
         });
}

void CalibratePage::SelectDrawerLayout(int index) {
  ReadAllFields();
  for (int i = 0; i < kLayoutCount; ++i) layoutSelected[static_cast<std::size_t>(i)] = i == index;
  WriteAllFields();
}

// Every field is checked before anything is sent: a blank or mistyped limit is refused with a
// message naming it and nothing is sent for it, while the other values still go. The first
// command that does not go through stops the rest.
void CalibratePage::UpdateCart() {
  if (!PortFree()) return;
  ReadAllFields();
  const Result<float> up = ReadLiftLimit(maxUpCurrent, kMaxUpCurrentLimit);
  const Result<float> down = ReadLiftLimit(maxDownCurrent, kMaxDownCurrentLimit);
  const Result<float> volts = ReadLiftLimit(minBatteryVoltage, kMinVoltsLimit);
  const Result<int> relock = ReadLiftRelockTimeout(autoLockTimeout);
  for (const Outcome* refused : {&up.outcome, &down.outcome, &volts.outcome, &relock.outcome}) {
    if (!*refused) ShowFailure({}, refused->text);
  }
  std::optional<int> layoutCode;
  for (int i = 0; i < kLayoutCount; ++i) {
    if (layoutSelected[static_cast<std::size_t>(i)])
      layoutCode = kDrawerLayouts[static_cast<std::size_t>(i)].code;
  }
  const bool allTyped = up && down && volts && relock;
  OnCart(
      [layoutCode, up, down, volts, relock](CartController& c) {
        Outcome sent = Outcome::Success();
        if (layoutCode) sent = SetSensorMask(c, *layoutCode);
        if (sent && up) sent = SetLiftMaxUpCurrent(c, up.value);
        if (sent && down) sent = SetLiftMaxDownCurrent(c, down.value);
        if (sent && volts) sent = SetLiftMinVolts(c, volts.value);
        if (sent && relock) sent = SetLiftRelockTimeout(c, relock.value);
        return std::pair{sent, GetCalibSlowData(c)};
      },
      [this, allTyped](const std::pair<Outcome, Result<std::string>>& result) {
        TakeSlow(result.second);
        WriteAllFields();
        if (!result.first) {
          ShowFailure("Update Cart", result.first.text);
        } else if (allTyped) {
          ShowMessage(kUpdateComplete);
        }
      },
      {.waitCursor = true});
}

}  // namespace molvane
