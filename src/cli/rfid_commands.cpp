// The cart's badge format (RFID bits, mask, facility code) and its longest PIN.
#include <cstdio>
#include <string>

#include "cart/rfid_format.h"
#include "cart/rfid_settings.h"
#include "cli/cli_context.h"
#include "cli/json_output.h"

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

// What `rfid get` shows, in its order: the line's label, the document's key, and whether the
// value is a number there.
struct ShownSetting {
  const char* label;
  const char* key;
  bool number;
  molvane::Result<std::string> (*read)(molvane::CartController&);
};
constexpr ShownSetting kShownSettings[] = {
    {"RFID bits", "rfid_bits", true, molvane::GetRfidBits},
    {"RFID mask", "rfid_mask", false, molvane::GetRfidMask},
    {"Facility code", "facility_code", true, molvane::GetRfidFacility},
    {"Max. PIN digits", "max_pin_digits", true, molvane::GetMaxPinDigits},
};

constexpr const char* kGetKeys =
    R"({"rfid_bits", "facility_code", "max_pin_digits": number; "rfid_mask": text;)"
    "\n  "
    R"( null for a value the cart did not give in its form, and then "error": what it said})";

// The digits the cart gave, as a number; null for an empty answer.
nlohmann::ordered_json DigitsValue(const std::string& digits) {
  if (digits.empty()) return {};
  return std::stoul(digits);
}

// Every value the cart gave in its form is shown, even when another was not: the lines a script
// reads stay "label: value" and never carry an error, which goes to stderr in its own words,
// one line per value, with exit code 1. Once the cart stops answering, nothing more is asked.
void Get(CliContext& context) {
  if (!context.Connect()) return;
  nlohmann::ordered_json document;
  std::string failures;
  for (const ShownSetting& setting : kShownSettings) {
    document[setting.key] = nullptr;
    if (context.controller.CurrentPort() < 0) continue;
    const molvane::Result<std::string> read = setting.read(context.controller);
    if (!read) {
      const std::string line = ErrorLine(read.outcome.text);
      std::fprintf(stderr, "%s\n", line.c_str());
      failures += (failures.empty() ? "" : "\n") + line;
      continue;
    }
    document[setting.key] =
        setting.number ? DigitsValue(read.value) : nlohmann::ordered_json(read.value);
    if (!context.json) std::printf("%s: %s\n", setting.label, Shown(read.value).c_str());
  }
  if (!failures.empty()) {
    document["error"] = failures;
    context.exitCode = 1;
  }
  if (context.json) PrintJson(document);
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
  OfferJson(context,
            rfid->add_subcommand("get", "Print bits, mask, facility code and max. PIN digits"),
            kGetKeys)
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
