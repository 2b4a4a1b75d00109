#include "cart/setup_values.h"

namespace molvane {

int PowerSupplyKind(std::string_view reply) {
  if (reply.find("AC") != std::string_view::npos) return 1;
  if (reply.find("DC") != std::string_view::npos) return 2;
  return 0;
}

const char* PowerSupplyText(int kind) {
  switch (kind) {
    case 1: return "AC Out";
    case 2: return "DC Out";
    default: return "N/A";
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

std::string SettingMessage(SettingCheck check, const SettingRule& rule) {
  switch (check) {
    case SettingCheck::NotInteger: return rule.integerMessage;
    case SettingCheck::OutOfRange: return rule.rangeMessage;
    case SettingCheck::Ok: break;
  }
  return {};
}

}  // namespace molvane
