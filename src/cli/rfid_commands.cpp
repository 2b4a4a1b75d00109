// The cart's badge format (RFID bits, mask, facility code) and its longest PIN.
#include <cstdio>

#include "cart/rfid_format.h"
#include "cli/cli_context.h"

namespace molvanectl {
namespace {

using molvane::kMaxFacilityLength;
using molvane::kMaxPinDigitsLength;
using molvane::kMaxRfidBitsLength;
using molvane::kMaxRfidMaskLength;

bool AllDigits(const std::string& text, std::size_t maxLength) {
  return !text.empty() && text.size() <= maxLength && molvane::IsDigitText(text);
}

bool ValidMask(const std::string& mask) {
  return !mask.empty() && mask.size() <= kMaxRfidMaskLength && molvane::IsRfidMaskText(mask);
}

struct RfidArguments {
  std::string bits, mask, facility;
};

bool CheckRfid(CliContext& context, const RfidArguments& a) {
  if (!AllDigits(a.bits, kMaxRfidBitsLength)) {
    context.Fail("Error: the RFID bits must be one or two digits, not '" + a.bits + "'");
  } else if (!AllDigits(a.facility, kMaxFacilityLength)) {
    context.Fail("Error: the facility code must be one to five digits, not '" + a.facility + "'");
  } else if (!ValidMask(a.mask)) {
    context.Fail("Error: the RFID mask must be 1 to 84 of the characters P, F, B and 0-9");
  } else if (!molvane::RfidBitsMatchMask(a.bits, a.mask)) {
    context.Fail(molvane::RfidMismatchText(a.bits, a.mask));
  } else {
    return true;
  }
  return false;
}

void PrintRfid(const std::string& bits, const std::string& mask, const std::string& facility) {
  std::printf("RFID bits: %s\n", bits.c_str());
  std::printf("RFID mask: %s\n", mask.c_str());
  std::printf("Facility code: %s\n", facility.c_str());
}

void Get(CliContext& context) {
  if (!context.Connect()) return;
  auto& controller = context.controller;
  const std::string bits = controller.GetRfidBits();
  const std::string mask = controller.GetRfidMask();
  const std::string facility = controller.GetRfidFacility();
  const std::string digits = controller.GetMaxPinDigits();
  if (!context.CheckLink()) return;
  PrintRfid(bits, mask, facility);
  std::printf("Max. PIN digits: %s\n", digits.c_str());
}

void Set(CliContext& context, const RfidArguments& a) {
  if (!CheckRfid(context, a) || !context.Connect()) return;
  auto& controller = context.controller;
  controller.SetRfidMask(a.mask);
  controller.SetRfidBits(a.bits);
  controller.SetRfidFacility(a.facility);
  const std::string bits = controller.GetRfidBits();
  const std::string mask = controller.GetRfidMask();
  const std::string facility = controller.GetRfidFacility();
  if (!context.CheckLink()) return;
  const bool taken = ConfirmSetting(context, "RFID mask", a.mask, mask) &
                     ConfirmNumberSetting(context, "RFID bits", a.bits, bits) &
                     ConfirmNumberSetting(context, "facility code", a.facility, facility);
  if (taken) PrintRfid(bits, mask, facility);
}

void GetDigits(CliContext& context) {
  if (!context.Connect()) return;
  const std::string digits = context.controller.GetMaxPinDigits();
  if (!context.CheckLink()) return;
  std::printf("Max. PIN digits: %s\n", digits.c_str());
}

void SetDigits(CliContext& context, const std::string& text) {
  if (!AllDigits(text, kMaxPinDigitsLength)) {
    context.Fail("Error: the maximum PIN digits must be one to three digits, not '" + text + "'");
    return;
  }
  if (!context.Connect()) return;
  context.controller.SetMaxPinDigits(text);
  const std::string digits = context.controller.GetMaxPinDigits();
  if (!context.CheckLink() || !ConfirmNumberSetting(context, "maximum PIN digits", text, digits)) {
    return;
  }
  std::printf("Max. PIN digits: %s\n", digits.c_str());
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
