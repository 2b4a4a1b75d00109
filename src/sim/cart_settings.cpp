#include "sim/cart_settings.h"

#include <algorithm>
#include <charconv>

namespace cartsim {
namespace {

bool IsDigits(std::string_view text, std::size_t minLength, std::size_t maxLength) {
  return text.size() >= minLength && text.size() <= maxLength &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool InRange(std::string_view text, long long min, long long max) {
  long long value = 0;
  return ParseWholeNumber(text, value) && value >= min && value <= max;
}

// A badge of 1 to 84 bits; the reader's frame buffer holds no more.
bool AcceptsRfidBits(std::string_view text) { return IsDigits(text, 1, 2) && InRange(text, 1, 84); }

// One character per badge bit: P parity, F facility, B badge number, or a fixed digit.
bool AcceptsRfidMask(std::string_view text) {
  return text.size() <= 84 && std::all_of(text.begin(), text.end(), [](char c) {
           return c == 'P' || c == 'F' || c == 'B' || (c >= '0' && c <= '9');
         });
}

bool AcceptsFacility(std::string_view text) {
  return IsDigits(text, 1, 5) && InRange(text, 0, 65535);
}

// A 32-bit PIN has at most ten digits.
bool AcceptsMaxPinDigits(std::string_view text) {
  return IsDigits(text, 1, 2) && InRange(text, 1, 10);
}

constexpr NumericSetting kNumeric[] = {
    {"backlight_set_timeout", "backlightTimeout", &CartSettings::backlightTimeout, 0, 65535, false},
    {"keyboard_set_timeout", "keyboardTimeout", &CartSettings::keyboardTimeout, 0, 65535, false},
    {"relock_set_timeout", "relockTimeout", &CartSettings::relockTimeout, 0, 65535, false},
    {"set_cart_type", "cartType", &CartSettings::cartType, 85, 170, true},
    {"set_main_lock_active", "mainLockMs", &CartSettings::mainLockMs, 0, 2500, false},
    {"set_side_lock_active", "sideLockMs", &CartSettings::sideLockMs, 0, 2500, false},
    {"lift_set_max_current", "liftUpCurrentTenths", &CartSettings::liftUpCurrentTenths, 0, 767,
     false},
    {"lift_set_dn_max_current", "liftDownCurrentTenths", &CartSettings::liftDownCurrentTenths, 0,
     767, false},
    {"lift_set_min_volts", "liftMinVoltsTenths", &CartSettings::liftMinVoltsTenths, 0, 767, false},
    {"set_lift_relock_timeout", "liftRelockTimeout", &CartSettings::liftRelockTimeout, 0, 65535,
     false},
    {"set_lift_lock", "liftLocked", &CartSettings::liftLocked, 0, 1, false},
    {"set_lift_relock_status", "liftAutoLock", &CartSettings::liftAutoLock, 0, 1, false},
    {"sensor_run", "sensorsRunning", &CartSettings::sensorsRunning, 0, 1, false},
    {"sensor_set_mask", "sensorMask", &CartSettings::sensorMask, 0, 255, false},
    {"", "cycleCount", &CartSettings::cycleCount, 0, 2147483647, false},
};

constexpr TextSetting kText[] = {
    {"set_rfid_bits", "get_rfid_bits", "rfidBits", &CartSettings::rfidBits, AcceptsRfidBits, false,
     true},
    {"set_rfid_mask", "get_rfid_mask", "rfidMask", &CartSettings::rfidMask, AcceptsRfidMask, false},
    {"set_rfid_facility", "get_rfid_facility", "rfidFacility", &CartSettings::rfidFacility,
     AcceptsFacility, false, true},
    {"set_max_pin_digits", "get_max_pin_digits", "maxPinDigits", &CartSettings::maxPinDigits,
     AcceptsMaxPinDigits, false, true},
    {"cart_name_set", "cart_name_get", "name", &CartSettings::name, IsPrintableText, true},
    {"serial_set", "serial_get", "serial", &CartSettings::serial, IsPrintableText, true},
};

}  // namespace

std::span<const NumericSetting> NumericSettings() { return kNumeric; }
std::span<const TextSetting> TextSettings() { return kText; }

const NumericSetting* FindNumericSetting(std::string_view command) {
  if (command.empty()) return nullptr;
  for (const NumericSetting& setting : kNumeric) {
    if (setting.command == command) return &setting;
  }
  return nullptr;
}

bool AcceptsNumeric(const NumericSetting& setting, long long value) {
  if (setting.endsOnly) return value == setting.min || value == setting.max;
  return value >= setting.min && value <= setting.max;
}

bool ParseWholeNumber(std::string_view text, long long& value) {
  if (text.empty()) return false;
  const char* end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, value);
  return result.ec == std::errc() && result.ptr == end;
}

bool IsPrintableText(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
}

}  // namespace cartsim
