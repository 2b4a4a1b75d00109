#pragma once
#include <span>
#include <string>
#include <string_view>

namespace cartsim {

// Everything the cart remembers across power cycles apart from its PINs, log and clock.
struct CartSettings {
  int backlightTimeout = 30;  // seconds
  int keyboardTimeout = 60;   // seconds
  int relockTimeout = 15;     // drawer lock-down, seconds; 0 keeps drawers open until "lock"
  int cartType = 85;          // 85 motor locks, 170 solenoid locks
  int mainLockMs = 250;
  int sideLockMs = 300;
  int liftUpCurrentTenths = 80;
  int liftDownCurrentTenths = 60;
  int liftMinVoltsTenths = 230;
  int liftRelockTimeout = 30;
  int liftLocked = 1;
  int liftAutoLock = 1;
  int sensorsRunning = 1;
  int sensorMask = 0xFF;  // drawer configuration code
  int cycleCount = 0;
  std::string rfidBits = "26";
  std::string rfidMask = "PFFFFFFFFBBBBBBBBBBBBBBBBP";
  std::string rfidFacility = "0";
  std::string maxPinDigits = "6";
  std::string name = "Cart";
  std::string serial = "0";
};

// A whole-number setting: the command that sets it (empty when only the state file carries it),
// the key it is stored under, and the values the cart takes.
struct NumericSetting {
  std::string_view command;
  std::string_view key;
  int CartSettings::*field;
  int min;
  int max;
  bool endsOnly;  // only min or max themselves are taken (the two lock types)
};

// A text setting: set and get commands, state-file key, and what the cart takes. Quoted settings
// travel between double quotes and are cut to kMaxQuotedLength rather than refused.
struct TextSetting {
  std::string_view setCommand;
  std::string_view getCommand;
  std::string_view key;
  std::string CartSettings::*field;
  bool (*accepts)(std::string_view value);
  bool quoted;
  bool number = false;  // digits that a numeric firmware keeps as a number
};

inline constexpr std::size_t kMaxQuotedLength = 15;

std::span<const NumericSetting> NumericSettings();
std::span<const TextSetting> TextSettings();
const NumericSetting* FindNumericSetting(std::string_view command);
bool AcceptsNumeric(const NumericSetting& setting, long long value);

// A decimal integer with an optional minus sign and nothing else; false when it is not one or
// does not fit.
bool ParseWholeNumber(std::string_view text, long long& value);
// Printable 7-bit text, which is all the cart's display and memory hold.
bool IsPrintableText(std::string_view text);

}  // namespace cartsim
