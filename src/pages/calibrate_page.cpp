#include "pages/calibrate_page.h"

#include "app/cart_controller.h"
#include "base/number_text.h"
#include "cart/calib_reply.h"
#include "cart/command_vocabulary.h"
#include "cart/lift_settings.h"
#include "cart/setup_values.h"
#include "pages/ui_services.h"

namespace molvane {

namespace {

std::string PlainFailure(const std::string& text) { return text; }

}  // namespace

void CalibratePage::Start() {
  SetShown(false);
  refreshPending = false;
}

void CalibratePage::CartNotice(bool present) {
  if (!present) return;
  if (IsShown()) {
    SlowRefresh();
  } else {
    refreshPending = true;
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
  ShowMessage(kTransferRunning);
  return false;
}

// The change, then the fast report, which shows what it did; a change that did not go through
// is told in its own words (or as `failureText` words it).
void CalibratePage::AfterChange(std::function<Outcome(CartController&)> change,
                                std::string (*failureText)(const std::string&)) {
  if (!PortFree()) return;
  if (failureText == nullptr) failureText = PlainFailure;
  OnCart(
      [change = std::move(change)](CartController& c) {
        const Outcome sent = change(c);
        return std::pair{sent, GetCalibFastData(c)};
      },
      [this, failureText](const std::pair<Outcome, Result<std::string>>& result) {
        TakeFast(result.second);
        WriteAllFields();
        if (!result.first) ShowMessage(failureText(result.first.text));
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
      [this](const std::pair<Outcome, Result<int>>& result) {
        if (result.second) sensorStatus = SensorRunText(result.second.value != 0);
        WriteAllFields();
        if (!result.first) ShowMessage(result.first.text);
      });
}

void CalibratePage::LiftUp() { MoveLift(true); }
void CalibratePage::LiftDown() { MoveLift(false); }

void CalibratePage::MoveLift(bool up) {
  AfterChange([up](CartController& c) { return up ? molvane::LiftUp(c) : molvane::LiftDown(c); },
              LiftMoveFailureText);
}

void CalibratePage::Brake() {
  if (!PortFree()) return;
  OnCart([](CartController& c) { return LiftOff(c); },
         [this](const Outcome& braked) {
           if (!braked) ShowMessage(LiftMoveFailureText(braked.text));
         });
}

// The toggles send the opposite of what the page shows now.
void CalibratePage::ToggleLock() {
  ReadAllFields();
  AfterChange([locked = liftLocked](CartController& c) { return SetLiftLock(c, locked ? 0 : 1); });
}

void CalibratePage::ToggleAuto() {
  ReadAllFields();
  AfterChange([on = autoLock](CartController& c) { return SetLiftRelockStatus(c, on ? 0 : 1); });
}

void CalibratePage::LockBits() {
  if (!PortFree()) return;
  OnCart([](CartController& c) { return GetLockBits(c); },
         [this](const Result<std::string>& bits) {
           KeepIfRead(lockBits, bits);
           WriteAllFields();
           if (!bits) ShowMessage(bits.outcome.text);
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
    if (!*refused) ShowMessage(refused->text);
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
          ShowMessage(result.first.text);
        } else if (allTyped) {
          ShowMessage(kUpdateComplete);
        }
      },
      {.waitCursor = true});
}

}  // namespace molvane
