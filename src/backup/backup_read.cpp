#include "backup/backup_read.h"

#include <cmath>

#include "app/cart_controller.h"
#include "app/operation_scope.h"
#include "cart/calib_reply.h"
#include "cart/setup_reply.h"
#include "cart/setup_values.h"

namespace molvane {
namespace {

// The cart reports whole tenths; a report beyond an int's range is kept out of range, where
// the check before writing a file refuses it.
int WholeNumber(float value) {
  if (!std::isfinite(value) || std::fabs(value) > 1e9f) return -1;
  return static_cast<int>(std::lround(value));
}

void ReadVersions(CartController& controller, CartBackup& backup) {
  controller.GetVersion();
  for (int n = 1; n <= 4; ++n)
    backup.firmwareVersions[static_cast<std::size_t>(n - 1)] = controller.FirmwareVersionText(n);
  for (int n = 1; n <= 2; ++n)
    backup.hardwareVersions[static_cast<std::size_t>(n - 1)] = controller.HardwareVersionText(n);
  backup.powerSupply = PowerSupplyText(PowerSupplyKind(controller.GetPowerSupplyType()));
}

void ReadSetup(CartController& controller, CartBackup& backup) {
  const SetupSettings setup = DecodeSetupReply(controller.GetSetupDlgFull());
  backup.backlightTimeout = setup.backlightTimeout;
  backup.keyboardLightTimeout = setup.keyboardTimeout;
  backup.drawerLockTimeout = setup.relockTimeout;
  backup.motorLock = setup.motorLock;
  backup.mainLockMs = setup.mainLockMs;
  backup.sideLockMs = setup.sideLockMs;
}

void ReadAccess(CartController& controller, CartBackup& backup) {
  backup.rfidBits = controller.GetRfidBits();
  backup.rfidMask = controller.GetRfidMask();
  backup.rfidFacility = controller.GetRfidFacility();
  backup.maxPinDigits = controller.GetMaxPinDigits();
}

void ReadLift(CartController& controller, CartBackup& backup) {
  const CalibSlowData slow = DecodeCalibSlowReply(controller.GetCalibSlowData());
  backup.maxUpCurrentTenths = WholeNumber(slow.maxUpCurrentTenths);
  backup.maxDownCurrentTenths = WholeNumber(slow.maxDownCurrentTenths);
  backup.minBatteryVoltsTenths = WholeNumber(slow.minVoltsTenths);
  backup.liftRelockTimeout = WholeNumber(slow.relockTimeout);
  backup.drawerCode = slow.drawerCode;
}

void ReadPins(CartController& controller, CartBackup& backup) {
  controller.DumpPinList();
  const PinList& list = controller.Pins();
  backup.pins.assign(list.entries.begin(), list.entries.begin() + list.count);
}

}  // namespace

bool ReadCartBackup(CartController& controller, CartBackup& backup, std::string& failure) {
  OperationScope read(controller);
  backup = CartBackup{};
  ReadVersions(controller, backup);
  backup.name = controller.GetCartName();
  backup.serialNumber = controller.GetSerialNumber();
  ReadSetup(controller, backup);
  ReadAccess(controller, backup);
  ReadLift(controller, backup);
  ReadPins(controller, backup);
  failure = read.Failure();
  return read.Succeeded();
}

}  // namespace molvane
