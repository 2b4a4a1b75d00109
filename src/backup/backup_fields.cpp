#include "backup/backup_fields.h"

#include <cstddef>

#include "base/number_text.h"
#include "base/printable_text.h"
#include "cart/calib_reply.h"
#include "cart/cart_identity.h"
#include "cart/command_vocabulary.h"
#include "cart/lift_settings.h"
#include "cart/rfid_format.h"
#include "cart/rfid_settings.h"
#include "cart/setup_values.h"

namespace molvane {
namespace {

constexpr int kMaxLiftTenths = 767;
// A value the cart reports is quoted in a refusal only as far as it helps to recognise it.
constexpr std::size_t kShownCartValue = 40;
constexpr int kMaxDrawerCode = 255;

using Kind = BackupField::Kind;

bool AllDigits(std::string_view text) { return !text.empty() && IsDigitText(text); }

// Digits only, no sign or blank, at most `max`.
bool ReadBounded(std::string_view text, long max, int& value) {
  long number = 0;
  if (!AllDigits(text) || CheckSetting(text, max, number) != SettingCheck::Ok) return false;
  value = static_cast<int>(number);
  return true;
}

template <int CartBackup::*Field>
std::string NumberText(const CartBackup& backup) {
  return std::to_string(backup.*Field);
}

template <int CartBackup::*Field, long Max>
bool ReadNumber(CartBackup& backup, std::string_view value) {
  return ReadBounded(value, Max, backup.*Field);
}

// Whole tenths written as units with one decimal, and read back without a detour through a
// floating-point number, so that what was read is what is sent.
template <int CartBackup::*Field>
std::string TenthsText(const CartBackup& backup) {
  const int tenths = backup.*Field;
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
}

template <int CartBackup::*Field>
bool ReadTenths(CartBackup& backup, std::string_view value) {
  const std::size_t point = value.find('.');
  const std::string_view units = value.substr(0, point);
  const std::string_view decimal =
      point == std::string_view::npos ? std::string_view("0") : value.substr(point + 1);
  int whole = 0;
  if (decimal.size() != 1 || !AllDigits(decimal) || !ReadBounded(units, kMaxLiftTenths / 10, whole))
    return false;
  const int tenths = whole * 10 + (decimal[0] - '0');
  if (tenths > kMaxLiftTenths) return false;
  backup.*Field = tenths;
  return true;
}

template <std::string CartBackup::*Field>
std::string PlainText(const CartBackup& backup) {
  return backup.*Field;
}

// A badge setting: empty (not reported), or what the cart's own read check lets through.
template <std::string CartBackup::*Field, std::size_t MaxLength, bool (*Allowed)(std::string_view)>
bool ReadBadgeText(CartBackup& backup, std::string_view value) {
  if (value.size() > MaxLength || !Allowed(value)) return false;
  backup.*Field = std::string(value);
  return true;
}

// Names travel between double quotes, so leading and trailing blanks survive the file.
template <std::string CartBackup::*Field>
std::string QuotedText(const CartBackup& backup) {
  return "\"" + backup.*Field + "\"";
}

template <std::string CartBackup::*Field>
bool ReadQuoted(CartBackup& backup, std::string_view value) {
  if (value.size() < 2 || value.front() != '"' || value.back() != '"') return false;
  const std::string_view inner = value.substr(1, value.size() - 2);
  if (inner.size() > kMaxIdentityLength || !IsIdentityText(inner)) return false;
  backup.*Field = std::string(inner);
  return true;
}

constexpr const char* kMotor = "motor";
constexpr const char* kSolenoid = "solenoid";

std::string LockTypeText(const CartBackup& backup) { return backup.motorLock ? kMotor : kSolenoid; }

bool ReadLockType(CartBackup& backup, std::string_view value) {
  if (value != kMotor && value != kSolenoid) return false;
  backup.motorLock = value == kMotor;
  return true;
}

std::string DrawerCodeText(const CartBackup& backup) { return HexCodeText(backup.drawerCode); }

// "0x" and one or two hexadecimal digits, or a decimal number.
bool ReadDrawerCode(CartBackup& backup, std::string_view value) {
  if (value.size() < 3 || value.size() > 4 || value.substr(0, 2) != "0x")
    return ReadBounded(value, kMaxDrawerCode, backup.drawerCode);
  int code = 0;
  for (const char c : value.substr(2)) {
    const int digit = HexDigitValue(c);
    if (digit < 0) return false;
    code = code * 16 + digit;
  }
  backup.drawerCode = code;
  return true;
}

// The record-only texts are taken as they stand.
template <auto Versions, std::size_t Index>
std::string VersionText(const CartBackup& backup) {
  return (backup.*Versions)[Index];
}
template <auto Versions, std::size_t Index>
bool ReadVersion(CartBackup& backup, std::string_view value) {
  (backup.*Versions)[Index] = std::string(value);
  return true;
}
bool ReadPowerSupply(CartBackup& backup, std::string_view value) {
  backup.powerSupply = std::string(value);
  return true;
}

Outcome SendName(CartController& c, const CartBackup& b) { return SetCartName(c, b.name); }
Outcome SendSerial(CartController& c, const CartBackup& b) {
  return SetSerialNumber(c, b.serialNumber);
}
Outcome SendBacklight(CartController& c, const CartBackup& b) {
  return SetBacklightTimeout(c, b.backlightTimeout);
}
Outcome SendKeyboard(CartController& c, const CartBackup& b) {
  return SetKeyboardTimeout(c, b.keyboardLightTimeout);
}
Outcome SendDrawerLock(CartController& c, const CartBackup& b) {
  return SetRelockTimeout(c, b.drawerLockTimeout);
}
Outcome SendLockType(CartController& c, const CartBackup& b) {
  return SetCartType(c, b.motorLock ? kMotorLockCode : kSolenoidLockCode);
}
Outcome SendMainLock(CartController& c, const CartBackup& b) {
  return SetMainLockActivation(c, b.mainLockMs);
}
Outcome SendSideLock(CartController& c, const CartBackup& b) {
  return SetSideLockActivation(c, b.sideLockMs);
}
Outcome SendRfidMask(CartController& c, const CartBackup& b) { return SetRfidMask(c, b.rfidMask); }
Outcome SendRfidBits(CartController& c, const CartBackup& b) { return SetRfidBits(c, b.rfidBits); }
Outcome SendFacility(CartController& c, const CartBackup& b) {
  return SetRfidFacility(c, b.rfidFacility);
}
Outcome SendPinDigits(CartController& c, const CartBackup& b) {
  return SetMaxPinDigits(c, b.maxPinDigits);
}
// The setters take units and convert to tenths again; for every tenth from 0 to 767 the
// conversion gives back the same tenth.
float Units(int tenths) { return static_cast<float>(tenths) / 10.0f; }
Outcome SendUpCurrent(CartController& c, const CartBackup& b) {
  return SetLiftMaxUpCurrent(c, Units(b.maxUpCurrentTenths));
}
Outcome SendDownCurrent(CartController& c, const CartBackup& b) {
  return SetLiftMaxDownCurrent(c, Units(b.maxDownCurrentTenths));
}
Outcome SendMinVolts(CartController& c, const CartBackup& b) {
  return SetLiftMinVolts(c, Units(b.minBatteryVoltsTenths));
}
Outcome SendLiftRelock(CartController& c, const CartBackup& b) {
  return SetLiftRelockTimeout(c, b.liftRelockTimeout);
}
Outcome SendDrawerCode(CartController& c, const CartBackup& b) {
  return SetSensorMask(c, b.drawerCode);
}

using B = CartBackup;

constexpr const char* kLockTimes = "Lock activation times";
constexpr const char* kBadgeFormat = "RFID badge format";

// The badge format goes in the order the PIN list page sends it: mask, bits, facility code.
const BackupField kFields[] = {
    {"cart", "name", "Cart name", Kind::Quoted, QuotedText<&B::name>, ReadQuoted<&B::name>,
     SendName, "cart_name_set"},
    {"cart", "serial_number", "Serial number", Kind::Quoted, QuotedText<&B::serialNumber>,
     ReadQuoted<&B::serialNumber>, SendSerial, "serial_set"},
    {"timeouts", "lcd_backlight_seconds", "LCD backlight timeout (s)", Kind::Number,
     NumberText<&B::backlightTimeout>, ReadNumber<&B::backlightTimeout, kMaxTimeoutSeconds>,
     SendBacklight, "backlight_set_timeout"},
    {"timeouts", "keyboard_light_seconds", "Keyboard light timeout (s)", Kind::Number,
     NumberText<&B::keyboardLightTimeout>, ReadNumber<&B::keyboardLightTimeout, kMaxTimeoutSeconds>,
     SendKeyboard, "keyboard_set_timeout"},
    {"timeouts", "drawer_lock_seconds", "Drawer lock-down timeout (s)", Kind::Number,
     NumberText<&B::drawerLockTimeout>, ReadNumber<&B::drawerLockTimeout, kMaxTimeoutSeconds>,
     SendDrawerLock, "relock_set_timeout"},
    {"locks", "type", "Lock type", Kind::Text, LockTypeText, ReadLockType, SendLockType,
     "set_cart_type"},
    {"locks", "main_activation_ms", "Main lock activation (ms)", Kind::Number,
     NumberText<&B::mainLockMs>, ReadNumber<&B::mainLockMs, kMaxLockActivationMs>, SendMainLock,
     "set_main_lock_active", kLockTimes},
    {"locks", "side_activation_ms", "Side lock activation (ms)", Kind::Number,
     NumberText<&B::sideLockMs>, ReadNumber<&B::sideLockMs, kMaxLockActivationMs>, SendSideLock,
     "set_side_lock_active", kLockTimes},
    {"access", "rfid_mask", "RFID mask", Kind::Text, PlainText<&B::rfidMask>,
     ReadBadgeText<&B::rfidMask, kMaxRfidMaskLength, IsRfidMaskText>, SendRfidMask, "set_rfid_mask",
     kBadgeFormat},
    {"access", "rfid_bits", "RFID bits", Kind::Text, PlainText<&B::rfidBits>,
     ReadBadgeText<&B::rfidBits, kMaxRfidBitsLength, IsDigitText>, SendRfidBits, "set_rfid_bits",
     kBadgeFormat},
    {"access", "facility_code", "Facility code", Kind::Text, PlainText<&B::rfidFacility>,
     ReadBadgeText<&B::rfidFacility, kMaxFacilityLength, IsDigitText>, SendFacility,
     "set_rfid_facility", kBadgeFormat},
    {"access", "max_pin_digits", "Max. PIN digits", Kind::Text, PlainText<&B::maxPinDigits>,
     ReadBadgeText<&B::maxPinDigits, kMaxPinDigitsLength, IsDigitText>, SendPinDigits,
     "set_max_pin_digits"},
    {"lift", "max_up_current_amperes", "Max up current (A)", Kind::Tenths,
     TenthsText<&B::maxUpCurrentTenths>, ReadTenths<&B::maxUpCurrentTenths>, SendUpCurrent,
     "lift_set_max_current"},
    {"lift", "max_down_current_amperes", "Max down current (A)", Kind::Tenths,
     TenthsText<&B::maxDownCurrentTenths>, ReadTenths<&B::maxDownCurrentTenths>, SendDownCurrent,
     "lift_set_dn_max_current"},
    {"lift", "min_battery_volts", "Min battery voltage (V)", Kind::Tenths,
     TenthsText<&B::minBatteryVoltsTenths>, ReadTenths<&B::minBatteryVoltsTenths>, SendMinVolts,
     "lift_set_min_volts"},
    {"lift", "relock_timeout_seconds", "Lift auto-lock timeout (s)", Kind::Number,
     NumberText<&B::liftRelockTimeout>, ReadNumber<&B::liftRelockTimeout, kMaxLiftRelockTimeout>,
     SendLiftRelock, "set_lift_relock_timeout"},
    {"drawers", "code", "Drawer configuration", Kind::Text, DrawerCodeText, ReadDrawerCode,
     SendDrawerCode, "sensor_set_mask"},
    {"record_only", "firmware_1", "Firmware 1", Kind::Text, VersionText<&B::firmwareVersions, 0>,
     ReadVersion<&B::firmwareVersions, 0>, nullptr},
    {"record_only", "firmware_2", "Firmware 2", Kind::Text, VersionText<&B::firmwareVersions, 1>,
     ReadVersion<&B::firmwareVersions, 1>, nullptr},
    {"record_only", "firmware_3", "Firmware 3", Kind::Text, VersionText<&B::firmwareVersions, 2>,
     ReadVersion<&B::firmwareVersions, 2>, nullptr},
    {"record_only", "firmware_4", "Firmware 4", Kind::Text, VersionText<&B::firmwareVersions, 3>,
     ReadVersion<&B::firmwareVersions, 3>, nullptr},
    {"record_only", "hardware_1", "Hardware 1", Kind::Text, VersionText<&B::hardwareVersions, 0>,
     ReadVersion<&B::hardwareVersions, 0>, nullptr},
    {"record_only", "hardware_2", "Hardware 2", Kind::Text, VersionText<&B::hardwareVersions, 1>,
     ReadVersion<&B::hardwareVersions, 1>, nullptr},
    {"record_only", "power_supply", "Power supply", Kind::Text, PlainText<&B::powerSupply>,
     ReadPowerSupply, nullptr},
};

const char* const kSections[] = {"cart", "timeouts", "locks",       "access",
                                 "lift", "drawers",  "record_only", kPinSection};

}  // namespace

std::span<const BackupField> BackupFields() { return kFields; }

std::span<const char* const> BackupSections() { return kSections; }

bool FieldDiffers(const BackupField& field, const CartBackup& cart, const CartBackup& backup) {
  if (field.send == nullptr) return false;
  const std::string wanted = field.text(backup);
  return !wanted.empty() && wanted != field.text(cart);
}

std::string UnrestorableValue(const CartBackup& backup) {
  for (const BackupField& field : kFields) {
    CartBackup copy;
    if (field.send != nullptr && !field.read(copy, field.text(backup)))
      return "The cart reports " + PrintableText(field.text(backup), kShownCartValue) + " for " +
             field.label + ", which no cart could be sent back: no backup was written.";
  }
  return {};
}

}  // namespace molvane
