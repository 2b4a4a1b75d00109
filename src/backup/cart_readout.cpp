#include "backup/cart_readout.h"

#include "app/cart_controller.h"
#include "app/operation_scope.h"
#include "cart/calib_reply.h"
#include "cart/drawer_layouts.h"
#include "cart/setup_reply.h"
#include "cart/setup_values.h"

namespace molvane {
namespace {

std::string Line(const std::string& name, const std::string& value) {
  return name + ": " + value + "\n";
}

std::string AccessCode(const std::string& code, bool show) {
  return show || code.empty() ? code : kMaskedText;
}

// Each command is sent in its own statement, so the cart is asked in the order read here.
std::string Identity(CartController& controller) {
  controller.GetVersion();
  std::string text = Line("Cart name", controller.GetCartName());
  text += Line("Serial number", controller.GetSerialNumber());
  for (int n = 1; n <= 4; ++n)
    text += Line("Firmware version " + std::to_string(n), controller.FirmwareVersionText(n));
  for (int n = 1; n <= 2; ++n)
    text += Line("Hardware version " + std::to_string(n), controller.HardwareVersionText(n));
  text += Line("Power supply", PowerSupplyText(PowerSupplyKind(controller.GetPowerSupplyType())));
  return text;
}

std::string Setup(CartController& controller) {
  const SetupSettings s = DecodeSetupReply(controller.GetSetupDlgFull());
  return Line("Keyboard light timeout", std::to_string(s.keyboardTimeout) + " s") +
         Line("LCD backlight timeout", std::to_string(s.backlightTimeout) + " s") +
         Line("Drawer lock-down timeout", std::to_string(s.relockTimeout) + " s") +
         Line("Lock type", LockTypeLabel(s.motorLock)) +
         Line("Main lock activation", std::to_string(s.mainLockMs) + " ms") +
         Line("Side lock activation", std::to_string(s.sideLockMs) + " ms");
}

std::string Badges(CartController& controller, bool showAccessCodes) {
  std::string text = Line("RFID bits", controller.GetRfidBits());
  text += Line("RFID mask", controller.GetRfidMask());
  text += Line("RFID facility code", AccessCode(controller.GetRfidFacility(), showAccessCodes));
  text += Line("Maximum PIN digits", controller.GetMaxPinDigits());
  return text;
}

std::string Factory(CartController& controller) {
  const CalibSlowData lift = DecodeCalibSlowReply(controller.GetCalibSlowData());
  const std::string layout = DrawerLayoutIndex(lift.drawerCode) < 0
                                 ? std::string()
                                 : " (" + DrawerLayoutName(lift.drawerCode) + ")";
  std::string text = Line("Lift maximum up current", TenthsText(lift.maxUpCurrentTenths) + " A");
  text += Line("Lift maximum down current", TenthsText(lift.maxDownCurrentTenths) + " A");
  text += Line("Lift minimum battery voltage", TenthsText(lift.minVoltsTenths) + " V");
  text += Line("Lift relock timeout", WholeSecondsText(lift.relockTimeout) + " s");
  text += Line("Drawer configuration", HexCodeText(lift.drawerCode) + layout);
  text += Line("Lock cycle count", controller.GetCycleCount());
  return text;
}

std::string Pins(CartController& controller, bool showAccessCodes) {
  controller.DumpPinList();
  std::string text = Line("PIN list", std::to_string(controller.PinCount()) + " PIN(s)");
  for (int i = 0; i < controller.PinCount(); ++i) {
    text += "  " + AccessCode(controller.PinText(i), showAccessCodes) + "\t" +
            std::to_string(controller.PinAgeDays(i)) + " days\n";
  }
  return text;
}

}  // namespace

std::string ReadCartForReport(CartController& controller, bool showAccessCodes) {
  OperationScope operation(controller);
  std::string text = Identity(controller);
  text += Setup(controller);
  text += Badges(controller, showAccessCodes);
  text += Factory(controller);
  text += Pins(controller, showAccessCodes);
  if (!operation.Succeeded()) text += Line("Reading the cart failed", operation.Failure());
  return text;
}

}  // namespace molvane
