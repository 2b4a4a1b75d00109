#include "backup/backup_read.h"

#include <cmath>

#include "app/cart_controller.h"
#include "app/link_texts.h"
#include "cart/calib_reply.h"
#include "cart/cart_identity.h"
#include "cart/command_vocabulary.h"
#include "cart/pin_list.h"
#include "cart/rfid_settings.h"
#include "cart/setup_reply.h"
#include "cart/setup_values.h"
#include "cart/version_info.h"

namespace molvane {
namespace {

// The cart reports whole tenths; a report beyond an int's range is kept out of range, where
// the check before writing a file refuses it.
int WholeNumber(float value) {
  if (!std::isfinite(value) || std::fabs(value) > 1e9f) return -1;
  return static_cast<int>(std::lround(value));
}

// Keeps the value when the reply came; the first failure stays in `failure`.
template <class T>
void Take(Result<T> read, T& field, Outcome& failure) {
  if (read) {
    field = std::move(read.value);
  } else if (failure.ok) {
    failure = read.outcome;
  }
}

Outcome ReadVersions(CartController& controller, CartBackup& backup) {
  if (Outcome read = GetVersion(controller); !read) return read;
  backup.firmwareVersions = controller.Versions().firmware;
  backup.hardwareVersions = controller.Versions().hardware;
  Outcome failure;
  std::string supply;
  Take(GetPowerSupplyType(controller), supply, failure);
  backup.powerSupply = PowerSupplyText(PowerSupplyKind(supply));
  return failure;
}

Outcome ReadIdentity(CartController& controller, CartBackup& backup) {
  Outcome failure;
  Take(GetCartName(controller), backup.name, failure);
  Take(GetSerialNumber(controller), backup.serialNumber, failure);
  return failure;
}

Outcome ReadSetup(CartController& controller, CartBackup& backup) {
  const Result<std::string> reply = GetSetupDlgFull(controller);
  if (!reply) return reply.outcome;
  const SetupSettings setup = DecodeSetupReply(reply.value);
  backup.backlightTimeout = setup.backlightTimeout;
  backup.keyboardLightTimeout = setup.keyboardTimeout;
  backup.drawerLockTimeout = setup.relockTimeout;
  backup.motorLock = setup.motorLock;
  backup.mainLockMs = setup.mainLockMs;
  backup.sideLockMs = setup.sideLockMs;
  return Outcome::Success();
}

Outcome ReadAccess(CartController& controller, CartBackup& backup) {
  Outcome failure;
  Take(GetRfidBits(controller), backup.rfidBits, failure);
  Take(GetRfidMask(controller), backup.rfidMask, failure);
  Take(GetRfidFacility(controller), backup.rfidFacility, failure);
  Take(GetMaxPinDigits(controller), backup.maxPinDigits, failure);
  return failure;
}

Outcome ReadLift(CartController& controller, CartBackup& backup) {
  const Result<std::string> reply = GetCalibSlowData(controller);
  if (!reply) return reply.outcome;
  const CalibSlowData slow = DecodeCalibSlowReply(reply.value);
  backup.maxUpCurrentTenths = WholeNumber(slow.maxUpCurrentTenths);
  backup.maxDownCurrentTenths = WholeNumber(slow.maxDownCurrentTenths);
  backup.minBatteryVoltsTenths = WholeNumber(slow.minVoltsTenths);
  backup.liftRelockTimeout = WholeNumber(slow.relockTimeout);
  backup.drawerCode = slow.drawerCode;
  return Outcome::Success();
}

Outcome ReadPins(CartController& controller, CartBackup& backup) {
  if (Outcome read = DumpPinList(controller); !read) return read;
  const PinList& list = controller.Pins();
  backup.pins.assign(list.entries.begin(), list.entries.begin() + list.count);
  return Outcome::Success();
}

}  // namespace

// The first step that fails ends the reading: what follows would be read from a cart that
// already stopped answering.
Outcome ReadCartBackup(CartController& controller, CartBackup& backup, const Progress& progress) {
  backup = CartBackup{};
  const auto steps = {ReadVersions, ReadIdentity, ReadSetup, ReadAccess, ReadLift, ReadPins};
  const int total = static_cast<int>(steps.size());
  int done = 0;
  for (auto* step : steps) {
    if (progress.Cancelled()) return Outcome::Failure(texts::kCancelled, done, total);
    if (Outcome read = step(controller, backup); !read) return read;
    progress.Report(++done, total);
  }
  return Outcome::Success({}, done, total);
}

}  // namespace molvane
