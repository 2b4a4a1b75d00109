#include "pages/calibrate_page.h"

#include "app/cart_controller.h"
#include "base/number_text.h"
#include "app/operation_scope.h"
#include "cart/calib_reply.h"
#include "cart/lift_settings.h"

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
  const CalibFastData data = DecodeCalibFastReply(controller.GetCalibFastData());
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
  OperationScope read(controller);
  const CalibSlowData data = DecodeCalibSlowReply(controller.GetCalibSlowData());
  // A report that did not arrive would read as all zeros, and the next Update Cart would send
  // them: limits of 0 stop the lift and disarm its battery guard. What was shown stays.
  if (read.Succeeded()) {
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
  controller.SetSensorRun(on);
  sensorStatus = SensorRunText(controller.GetSensorRun() != 0);
  WriteAllFields();
}

void CalibratePage::LiftUp() { MoveLift(true); }
void CalibratePage::LiftDown() { MoveLift(false); }

void CalibratePage::MoveLift(bool up) {
  if (!PortFree()) return;
  OperationScope operation(controller);
  if (up) {
    controller.LiftUp();
  } else {
    controller.LiftDown();
  }
  FastRefresh();
  if (!operation.Succeeded()) ShowMessage(LiftMoveFailureText(operation.Failure()));
}

void CalibratePage::Brake() {
  if (!PortFree()) return;
  OperationScope operation(controller);
  controller.LiftOff();
  if (!operation.Succeeded()) ShowMessage(LiftMoveFailureText(operation.Failure()));
}

void CalibratePage::ToggleLock() {
  if (!PortFree()) return;
  ReadAllFields();
  controller.SetLiftLock(liftLocked ? 0 : 1);
  FastRefresh();
}

void CalibratePage::ToggleAuto() {
  if (!PortFree()) return;
  ReadAllFields();
  controller.SetLiftRelockStatus(autoLock ? 0 : 1);
  FastRefresh();
}

void CalibratePage::LockBits() {
  if (!PortFree()) return;
  ReadAllFields();
  lockBits = controller.GetLockBits();
  WriteAllFields();
}

void CalibratePage::SelectDrawerLayout(int index) {
  ReadAllFields();
  for (int i = 0; i < kLayoutCount; ++i) layoutSelected[static_cast<std::size_t>(i)] = i == index;
  WriteAllFields();
}

void CalibratePage::UpdateCart() {
  if (!PortFree()) return;
  std::string outcome;
  {
    WaitCursor cursor(Ui());
    OperationScope operation(controller);
    ReadAllFields();
    for (int i = 0; i < kLayoutCount; ++i) {
      if (layoutSelected[static_cast<std::size_t>(i)])
        controller.SetSensorMask(kDrawerLayouts[static_cast<std::size_t>(i)].code);
    }
    controller.SetLiftMaxUpCurrent(TextToFloat(maxUpCurrent));
    controller.SetLiftMaxDownCurrent(TextToFloat(maxDownCurrent));
    controller.SetLiftMinVolts(TextToFloat(minBatteryVoltage));
    const int timeout = TextToInt(autoLockTimeout);
    if (IsLiftRelockTimeoutSent(timeout)) controller.SetLiftRelockTimeout(timeout);
    SlowRefresh();
    outcome = operation.Outcome(kUpdateComplete);
  }
  ShowMessage(outcome);
}

}  // namespace molvane
