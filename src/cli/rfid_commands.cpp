// The cart's badge format (RFID bits, mask, facility code) and its longest PIN.
#include <cstdio>

#include "cart/rfid_format.h"
#include "cart/rfid_settings.h"
#include "cli/cli_context.h"

namespace molvanectl {
namespace {

using molvane::kMaxPinDigitsLength;

bool AllDigits(const std::string& text, std::size_t maxLength) {
  return !text.empty() && text.size() <= maxLength && molvane::IsDigitText(text);
}

struct RfidArguments {
  std::string bits, mask, facility;
};

bool CheckRfid(CliContext& context, const RfidArguments& a) {
  return Check(context, molvane::CheckRfidFormat(a.bits, a.mask, a.facility));
}

void PrintRfid(const std::string& bits, const std::string& mask, const std::string& facility) {
  std::printf("RFID bits: %s\n", Shown(bits).c_str());
  std::printf("RFID mask: %s\n", Shown(mask).c_str());
  std::printf("Facility code: %s\n", Shown(facility).c_str());
}

struct RfidValues {
  std::string bits, mask, facility;
};

bool ReadRfid(CliContext& context, RfidValues& v) {
  auto& c = context.controller;
  return Take(context, molvane::GetRfidBits(c), v.bits) &&
         Take(context, molvane::GetRfidMask(c), v.mask) &&
         Take(context, molvane::GetRfidFacility(c), v.facility);
}

void Get(CliContext& context) {
  RfidValues v;
  std::string digits;
  if (!context.Connect() || !ReadRfid(context, v) ||
      !Take(context, molvane::GetMaxPinDigits(context.controller), digits)) {
    return;
  }
  PrintRfid(v.bits, v.mask, v.facility);
  std::printf("Max. PIN digits: %s\n", Shown(digits).c_str());
}

void Set(CliContext& context, const RfidArguments& a) {
  if (!CheckRfid(context, a) || !context.Connect()) return;
  auto& c = context.controller;
  if (!Check(context, molvane::SetRfidMask(c, a.mask)) ||
      !Check(context, molvane::SetRfidBits(c, a.bits)) ||
      !Check(context, molvane::SetRfidFacility(c, a.facility))) {
    return;
  }
  RfidValues v;
  if (!ReadRfid(context, v)) return;
  const bool taken = ConfirmSetting(context, "RFID mask", a.mask, v.mask) &
                     ConfirmNumberSetting(context, "RFID bits", a.bits, v.bits) &
                     ConfirmNumberSetting(context, "facility code", a.facility, v.facility);
  if (taken) PrintRfid(v.bits, v.mask, v.facility);
}

void GetDigits(CliContext& context) {
  std::string digits;
  if (!context.Connect() || !Take(context, molvane::GetMaxPinDigits(context.controller), digits))
    return;
  std::printf("Max. PIN digits: %s\n", Shown(digits).c_str());
}

void SetDigits(CliContext& context, const std::string& text) {
  if (!AllDigits(text, kMaxPinDigitsLength)) {
    context.Fail("Error: the maximum PIN digits must be one to three digits, not '" + text + "'");
    return;
  }
  std::string digits;
  if (!context.Connect() || !Check(context, molvane::SetMaxPinDigits(context.controller, text)) ||
      !Take(context, molvane::GetMaxPinDigits(context.controller), digits) ||
      !ConfirmNumberSetting(context, "maximum PIN digits", text, digits)) {
    return;
  }
  std::printf("Max. PIN digits: %s\n", Shown(digits).c_str());
}

const Registration registration([](CLI::App& app, CliContext& context) {
  auto* rfid = app.add_subcommand("rfid", "The cart's RFID badge format");
  rfid->require_subcommand(1);
  rfid->add_subcommand("get", "Print bits, mask, facility code and max. PIN digits")
      ->callback([&context] { Get(context); });
  static RfidArguments arguments;
  auto* set = rfid->add_subcommand("set", "Set the badge format, then read it back");
  set->add_option("BITS", arguments.bits, "Bits of a badge, at most 2 digits")->required();
  set->add_option("MASK", arguments.mask, "One of P, F, B, 0-9 per badge bit")->required();
  set->add_option("FACILITY", arguments.facility, "Facility code, at most 5 digits")->required();
  set->callback([&context] { Set(context, arguments); });

  auto* digits = app.add_subcommand("pin-digits", "The longest PIN the cart accepts");
  digits->require_subcommand(1);
  digits->add_subcommand("get", "Print the maximum PIN digits")->callback([&context] {
    GetDigits(context);
  });
  static std::string digitsText;
  auto* setDigits = digits->add_subcommand("set", "Set the maximum PIN digits, then read it back");
  setDigits->add_option("N", digitsText, "Maximum PIN digits")->required();
  setDigits->callback([&context] { SetDigits(context, digitsText); });
});

}  // namespace
}  // namespace molvanectl
