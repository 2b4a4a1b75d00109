#include "backup/cart_readout.h"

#include "app/cart_controller.h"
#include "cart/calib_reply.h"
#include "cart/cart_identity.h"
#include "cart/command_vocabulary.h"
#include "cart/drawer_layouts.h"
#include "cart/pin_list.h"
#include "cart/rfid_settings.h"
#include "cart/setup_reply.h"
#include "cart/setup_values.h"
#include "cart/version_info.h"

namespace molvane {
namespace {

std::string Line(const std::string& name, const std::string& value) {
  return name + ": " + value + "\n";
}

std::string AccessCode(const std::string& code, bool show) {
  return show || code.empty() ? code : kMaskedText;
}

// Reads the cart once per line, in the order the report shows them; the first failure is kept
// so that a value that reads empty is not taken for the cart's.
class Reader {
 public:
  Reader(CartController& controller, bool showAccessCodes)
      : controller(controller), showAccessCodes(showAccessCodes) {}

  template <class T>
  T Value(Result<T> (*query)(CartController&)) {
    Result<T> read = query(controller);
    Note(read.outcome);
    return read.value;
  }
  void Note(const Outcome& outcome) {
    if (!outcome && failure.ok) failure = outcome;
  }

  CartController& controller;
  bool showAccessCodes;
  Outcome failure;
};

std::string Identity(Reader& r) {
  r.Note(GetVersion(r.controller));
  std::string text = Line("Cart name", r.Value(GetCartName));
  text += Line("Serial number", r.Value(GetSerialNumber));
  const CartVersions& versions = r.controller.Versions();
  for (int n = 1; n <= 4; ++n)
    text += Line("Firmware version " + std::to_string(n), FirmwareVersionText(versions, n));
  for (int n = 1; n <= 2; ++n)
    text += Line("Hardware version " + std::to_string(n), HardwareVersionText(versions, n));
  text += Line("Power supply", PowerSupplyText(PowerSupplyKind(r.Value(GetPowerSupplyType))));
  return text;
}

std::string Setup(Reader& r) {
  const SetupSettings s = DecodeSetupReply(r.Value(GetSetupDlgFull));
  return Line("Keyboard light timeout", std::to_string(s.keyboardTimeout) + " s") +
         Line("LCD backlight timeout", std::to_string(s.backlightTimeout) + " s") +
         Line("Drawer lock-down timeout", std::to_string(s.relockTimeout) + " s") +
         Line("Lock type", LockTypeLabel(s.motorLock)) +
         Line("Main lock activation", std::to_string(s.mainLockMs) + " ms") +
         Line("Side lock activation", std::to_string(s.sideLockMs) + " ms");
}

std::string Badges(Reader& r) {
  std::string text = Line("RFID bits", r.Value(GetRfidBits));
  text += Line("RFID mask", r.Value(GetRfidMask));
  text += Line("RFID facility code", AccessCode(r.Value(GetRfidFacility), r.showAccessCodes));
  text += Line("Maximum PIN digits", r.Value(GetMaxPinDigits));
  return text;
}

std::string Factory(Reader& r) {
  const CalibSlowData lift = DecodeCalibSlowReply(r.Value(GetCalibSlowData));
  const std::string layout = DrawerLayoutIndex(lift.drawerCode) < 0
                                 ? std::string()
                                 : " (" + DrawerLayoutName(lift.drawerCode) + ")";
  std::string text = Line("Lift maximum up current", TenthsText(lift.maxUpCurrentTenths) + " A");
  text += Line("Lift maximum down current", TenthsText(lift.maxDownCurrentTenths) + " A");
  text += Line("Lift minimum battery voltage", TenthsText(lift.minVoltsTenths) + " V");
  text += Line("Lift relock timeout", WholeSecondsText(lift.relockTimeout) + " s");
  text += Line("Drawer configuration", HexCodeText(lift.drawerCode) + layout);
  text += Line("Lock cycle count", r.Value(GetCycleCount));
  return text;
}

std::string Pins(Reader& r) {
  const Outcome read = DumpPinList(r.controller);
  r.Note(read);
  if (!read) return Line("PIN list", "not read");
  const PinList& list = r.controller.Pins();
  std::string text = Line("PIN list", std::to_string(list.count) + " PIN(s)");
  for (int i = 0; i < list.count; ++i) {
    text += "  " + AccessCode(PinText(list, i), r.showAccessCodes) + "\t" +
            std::to_string(PinAgeDays(list, i)) + " days\n";
  }
  return text;
}

}  // namespace

std::string ReadCartForReport(CartController& controller, bool showAccessCodes,
                              const Progress& progress) {
  Reader reader(controller, showAccessCodes);
  std::string (*const parts[kCartReportParts])(Reader&) = {Identity, Setup, Badges, Factory, Pins};
  std::string text;
  for (int done = 0; done < kCartReportParts && !progress.Cancelled();) {
    text += parts[done](reader);
    progress.Report(++done, kCartReportParts);
  }
  if (!reader.failure) text += Line("Reading the cart failed", reader.failure.text);
  return text;
}

}  // namespace molvane
