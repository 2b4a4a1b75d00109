#include "cart/setup_values.h"

namespace molvane {

int PowerSupplyKind(std::string_view reply) {
  if (reply.find("AC") != std::string_view::npos) return 1;
  if (reply.find("DC") != std::string_view::npos) return 2;
  return 0;
}

const char* PowerSupplyText(int kind) {
  switch (kind) {
    case 1:
      return "AC Out";
    case 2:
      return "DC Out";
    default:
      return "N/A";
  }
}

SettingCheck CheckSetting(std::string_view text, long max, long& value) {
  long long parsed = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return SettingCheck::NotInteger;
    if (parsed <= max) parsed = parsed * 10 + (c - '0');
  }
  if (parsed > max) return SettingCheck::OutOfRange;
  value = static_cast<long>(parsed);
  return SettingCheck::Ok;
}

SettingCheck CheckLockActivation(std::string_view mainText, std::string_view sideText, long& mainMs,
                                 long& sideMs) {
  const SettingCheck main = CheckSetting(mainText, kMaxLockActivationMs, mainMs);
  if (main == SettingCheck::NotInteger) return main;
  const SettingCheck side = CheckSetting(sideText, kMaxLockActivationMs, sideMs);
  if (side == SettingCheck::NotInteger) return side;
  return main == SettingCheck::Ok ? side : main;
}

std::string SettingMessage(SettingCheck check, const SettingRule& rule) {
  switch (check) {
    case SettingCheck::NotInteger:
      return rule.integerMessage;
    case SettingCheck::OutOfRange:
      return rule.rangeMessage;
    case SettingCheck::Ok:
      break;
  }
  return {};
}

bool IsIdentityText(std::string_view text) {
  for (const char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || u < 0x20 || u >= 0x7F) return false;
  }
  return true;
}

std::string IdentityTextRefusal(const std::string& what) {
  return "The " + what + " may hold printable characters only, and no double quote.";
}

}  // namespace molvane
