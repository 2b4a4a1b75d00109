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

// Reads the cart once per line, in the order the report shows them; the first failure is kept.
class Reader {
 public:
  Reader(CartController& controller, bool showAccessCodes)
      : controller(controller), showAccessCodes(showAccessCodes) {}

  // Whether the reply came; a failure is noted.
  bool Read(const Outcome& outcome) {
    Note(outcome);
    return outcome.ok;
  }
  template <class T>
  bool Read(const Result<T>& read) {
    return Read(read.outcome);
  }
  std::string Text(Result<std::string> (*query)(CartController&)) {
    const Result<std::string> read = query(controller);
    return Read(read) ? read.value : kNotReadText;
  }
  std::string AccessCode(Result<std::string> (*query)(CartController&)) {
    const Result<std::string> read = query(controller);
    if (!Read(read)) return kNotReadText;
    return showAccessCodes || read.value.empty() ? read.value : kMaskedText;
  }
  void Note(const Outcome& outcome) {
    if (!outcome && failure.ok) failure = outcome;
  }

  CartController& controller;
  bool showAccessCodes;
  Outcome failure;
};

// The value with its unit, or that it was not read.
std::string Valued(bool read, const std::string& value, const char* unit) {
  return read ? value + unit : kNotReadText;
}

std::string Identity(Reader& r) {
  const bool versions = r.Read(GetVersion(r.controller));
  std::string text = Line("Cart name", r.Text(GetCartName));
  text += Line("Serial number", r.Text(GetSerialNumber));
  const CartVersions& read = r.controller.Versions();
  for (int n = 1; n <= 4; ++n) {
    text += Line("Firmware version " + std::to_string(n),
                 Valued(versions, FirmwareVersionText(read, n), ""));
  }
  for (int n = 1; n <= 2; ++n) {
    text += Line("Hardware version " + std::to_string(n),
                 Valued(versions, HardwareVersionText(read, n), ""));
  }
  const Result<std::string> supply = GetPowerSupplyType(r.controller);
  return text + Line("Power supply",
                     Valued(r.Read(supply), PowerSupplyText(PowerSupplyKind(supply.value)), ""));
}

std::string Setup(Reader& r) {
  const Result<std::string> reply = GetSetupDlgFull(r.controller);
  const bool read = r.Read(reply);
  const SetupSettings s = DecodeSetupReply(reply.value);
  return Line("Keyboard light timeout", Valued(read, std::to_string(s.keyboardTimeout), " s")) +
         Line("LCD backlight timeout", Valued(read, std::to_string(s.backlightTimeout), " s")) +
         Line("Drawer lock-down timeout", Valued(read, std::to_string(s.relockTimeout), " s")) +
         Line("Lock type", Valued(read, LockTypeLabel(s.motorLock), "")) +
         Line("Main lock activation", Valued(read, std::to_string(s.mainLockMs), " ms")) +
         Line("Side lock activation", Valued(read, std::to_string(s.sideLockMs), " ms"));
}

std::string Badges(Reader& r) {
  std::string text = Line("RFID bits", r.Text(GetRfidBits));
  text += Line("RFID mask", r.Text(GetRfidMask));
  text += Line("RFID facility code", r.AccessCode(GetRfidFacility));
  text += Line("Maximum PIN digits", r.Text(GetMaxPinDigits));
  return text;
}

std::string Factory(Reader& r) {
  const Result<std::string> reply = GetCalibSlowData(r.controller);
  const bool read = r.Read(reply);
  const CalibSlowData lift = DecodeCalibSlowReply(reply.value);
  const std::string layout = DrawerLayoutIndex(lift.drawerCode) < 0
                                 ? std::string()
                                 : " (" + DrawerLayoutName(lift.drawerCode) + ")";
  std::string text =
      Line("Lift maximum up current", Valued(read, TenthsText(lift.maxUpCurrentTenths), " A"));
  text +=
      Line("Lift maximum down current", Valued(read, TenthsText(lift.maxDownCurrentTenths), " A"));
  text += Line("Lift minimum battery voltage", Valued(read, TenthsText(lift.minVoltsTenths), " V"));
  text += Line("Lift relock timeout", Valued(read, WholeSecondsText(lift.relockTimeout), " s"));
  text += Line("Drawer configuration", Valued(read, HexCodeText(lift.drawerCode) + layout, ""));
  text += Line("Lock cycle count", r.Text(GetCycleCount));
  return text;
}

std::string Pins(Reader& r) {
  const Outcome read = DumpPinList(r.controller);
  r.Note(read);
  if (!read) return Line("PIN list", kNotReadText);
  const PinList& list = r.controller.Pins();
  std::string text = Line("PIN list", std::to_string(list.count) + " PIN(s)");
  for (int i = 0; i < list.count; ++i) {
    const std::string pin = PinText(list, i);
    text += "  " + (r.showAccessCodes || pin.empty() ? pin : std::string(kMaskedText)) + "\t" +
            std::to_string(PinAgeDays(list, i)) + " days\n";
  }
  return text;
}

}  // namespace

CartReadout ReadCartForReport(CartController& controller, bool showAccessCodes,
                              const Progress& progress) {
  Reader reader(controller, showAccessCodes);
  std::string (*const parts[kCartReportParts])(Reader&) = {Identity, Setup, Badges, Factory, Pins};
  CartReadout readout;
  for (int done = 0; done < kCartReportParts && !progress.Cancelled();) {
    readout.text += parts[done](reader);
    progress.Report(++done, kCartReportParts);
  }
  readout.read = reader.failure;
  return readout;
}

}  // namespace molvane
