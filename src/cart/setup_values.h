#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace molvane {

// The cart's basic settings as an operator may set them: limits, the lock-type codes and the
// words shown for them. The Setup page and molvanectl both check typed values with these rules.

inline constexpr long kMaxTimeoutSeconds = 65535;
inline constexpr long kMaxLockActivationMs = 2500;

inline constexpr int kMotorLockCode = 85;      // 0x55
inline constexpr int kSolenoidLockCode = 170;  // 0xAA
inline constexpr const char* kMotorLockLabel = "Motor (K52TA)";
inline constexpr const char* kSolenoidLockLabel = "Solenoid (K61/K52VE)";

inline const char* LockTypeLabel(bool motor) {
  return motor ? kMotorLockLabel : kSolenoidLockLabel;
}

// What the cart's power supply word means: 1 AC, 2 DC, 0 neither.
int PowerSupplyKind(std::string_view reply);
// "AC Out", "DC Out" or "N/A".
const char* PowerSupplyText(int kind);

// One typed setting: its limit and the two messages an operator sees when it is refused.
struct SettingRule {
  long max;
  const char* rangeMessage;    // a number above max
  const char* integerMessage;  // a text that is not all digits
};

inline constexpr SettingRule kKeyboardLightRule{
    kMaxTimeoutSeconds, "The keyboard light timeout value must be between 0 and 65535 seconds.",
    "The keyboard light timeout must be an integer."};
inline constexpr SettingRule kBacklightRule{
    kMaxTimeoutSeconds, "The LCD backlight timeout must be between 0 and 65535 seconds.",
    "The LCD backlight timeout must be an integer."};
inline constexpr SettingRule kDrawerLockRule{
    kMaxTimeoutSeconds, "The drawer lock timeout value must be between 0 and 65535 seconds.",
    "The drawer lockdown time must be an integer."};
inline constexpr SettingRule kLockActivationRule{
    kMaxLockActivationMs, "The lock activation time value must be between 0 and 2500 ms.",
    "The lock activation time must be an integer."};

enum class SettingCheck { Ok, NotInteger, OutOfRange };

// Digits 0-9 only; an empty text counts as 0. Long texts saturate instead of overflowing, so
// they are refused as out of range.
SettingCheck CheckSetting(std::string_view text, long max, long& value);

// The two lock activation times go to the cart together, so they pass or fail together: not
// an integer when either holds another character (the side time is looked at only when the main
// one is all digits), out of range when either is above the limit.
SettingCheck CheckLockActivation(std::string_view mainText, std::string_view sideText, long& mainMs,
                                 long& sideMs);

// The message for a refused check; empty for Ok.
std::string SettingMessage(SettingCheck check, const SettingRule& rule);

// What the operator is told when the cart was sent what they asked for: the settings of the
// Setup, Service and Factory Calibration pages and molvanectl's.
inline constexpr const char* kUpdateComplete = "Update Complete.";
inline constexpr const char* kCartTypeSet = "Completed";
inline constexpr const char* kSerialUpdated = "Serial Updated.";

// The cart's name and serial number travel between double quotes, and the cart keeps this many
// characters of them.
inline constexpr std::size_t kMaxIdentityLength = 15;

// The cart reads the text between the first and the last double quote and keeps printable
// characters only, so a quote or a control character inside would garble what it stores.
bool IsIdentityText(std::string_view text);
// Why such a text is refused; `what` names it ("serial number").
std::string IdentityTextRefusal(const std::string& what);

}  // namespace molvane
