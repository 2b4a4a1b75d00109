#include "pages/calibrate_page.h"

#include "app/cart_controller.h"
#include "base/number_text.h"
#include "cart/calib_reply.h"
#include "cart/command_vocabulary.h"
#include "cart/lift_settings.h"
#include "cart/setup_values.h"
#include "pages/ui_services.h"

namespace molvane {

void CalibratePage::Start() {
  shown = false;
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
  if (!controller.IsBusy()) FastRefresh();
}

void CalibratePage::Show(bool visible) {
  PageModel::Show(visible);
  if (visible && refreshPending && !controller.IsBusy()) SlowRefresh();
}

void CalibratePage::FastRefresh() {
  ReadAllFields();
  const Result<std::string> reply = GetCalibFastData(controller);
  if (!reply) {
    WriteAllFields();
    return;
  }
  const CalibFastData data = DecodeCalibFastReply(reply.value);
  liftLocked = data.liftLocked;
  autoLock = data.autoLock;
  sensorStatus = SensorRunText(data.sensorsRunning);
  sensorValue = HexCodeText(data.sensorBits);
  for (int bit = 0; bit < kSensorBitCount; ++bit)
    sensorLit[static_cast<std::size_t>(bit)] = ((data.sensorBits >> bit) & 1) != 0;
  WriteAllFields();
}

void CalibratePage::SlowRefresh() {
  ReadAllFields();
  const Result<std::string> reply = GetCalibSlowData(controller);
  // A report that did not arrive would read as all zeros, and the next Update Cart would send
  // them: limits of 0 stop the lift and disarm its battery guard. What was shown stays.
  if (reply) {
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
  WriteAllFields();
}

bool CalibratePage::PortFree() const {
  if (!controller.IsBusy()) return true;
  ShowMessage(kTransferRunning);
  return false;
}

void CalibratePage::RunSensors() { SetSensorRunning(1); }
void CalibratePage::StopSensors() { SetSensorRunning(0); }

void CalibratePage::SetSensorRunning(int on) {
  if (!PortFree()) return;
  ReadAllFields();
  const Outcome sent = SetSensorRun(controller, on);
  const Result<int> running = GetSensorRun(controller);
  if (running) sensorStatus = SensorRunText(running.value != 0);
  WriteAllFields();
  if (!sent) ShowMessage(sent.text);
}

void CalibratePage::LiftUp() { MoveLift(true); }
void CalibratePage::LiftDown() { MoveLift(false); }

void CalibratePage::MoveLift(bool up) {
  if (!PortFree()) return;
  const Outcome moved = up ? molvane::LiftUp(controller) : molvane::LiftDown(controller);
  FastRefresh();
  if (!moved) ShowMessage(LiftMoveFailureText(moved.text));
}

void CalibratePage::Brake() {
  if (!PortFree()) return;
  const Outcome braked = LiftOff(controller);
  if (!braked) ShowMessage(LiftMoveFailureText(braked.text));
}

void CalibratePage::ToggleLock() {
  if (!PortFree()) return;
  ReadAllFields();
  const Outcome sent = SetLiftLock(controller, liftLocked ? 0 : 1);
  FastRefresh();
  if (!sent) ShowMessage(sent.text);
}

void CalibratePage::ToggleAuto() {
  if (!PortFree()) return;
  ReadAllFields();
  const Outcome sent = SetLiftRelockStatus(controller, autoLock ? 0 : 1);
  FastRefresh();
  if (!sent) ShowMessage(sent.text);
}

void CalibratePage::LockBits() {
  if (!PortFree()) return;
  ReadAllFields();
  const Result<std::string> bits = GetLockBits(controller);
  KeepIfRead(lockBits, bits);
  WriteAllFields();
  if (!bits) ShowMessage(bits.outcome.text);
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
  Outcome sent = Outcome::Success();
  {
    WaitCursor cursor(Ui());
    for (int i = 0; i < kLayoutCount && sent; ++i) {
      if (layoutSelected[static_cast<std::size_t>(i)])
        sent = SetSensorMask(controller, kDrawerLayouts[static_cast<std::size_t>(i)].code);
    }
    if (sent && up) sent = SetLiftMaxUpCurrent(controller, up.value);
    if (sent && down) sent = SetLiftMaxDownCurrent(controller, down.value);
    if (sent && volts) sent = SetLiftMinVolts(controller, volts.value);
    if (sent && relock) sent = SetLiftRelockTimeout(controller, relock.value);
    SlowRefresh();
  }
  const bool allTyped = up && down && volts && relock;
  if (!sent) {
    ShowMessage(sent.text);
  } else if (allTyped) {
    ShowMessage(kUpdateComplete);
  }
}

}  // namespace molvane
