// The cart's PIN list: list, add, remove, clear, and PIN list files.
#include <cstdint>
#include <cstdio>
#include <vector>

#include "base/clock.h"
#include "base/number_text.h"
#include "cart/pin_list.h"
#include "cart/pin_list_file.h"
#include "cart/pin_text.h"
#include "cli/cli_context.h"
#include "cli/json_output.h"

namespace molvanectl {
namespace {

// A PIN as the operator may type one, and not empty: a command must name its PINs. It goes to
// the cart without leading zeros.
bool ParsePin(const std::string& text, std::uint32_t& pin) {
  if (text.empty() || !molvane::IsAcceptablePinText(text)) return false;
  pin = molvane::TextToPin(text);
  return true;
}

bool ParsePins(CliContext& context, const std::vector<std::string>& texts,
               std::vector<std::uint32_t>& pins) {
  for (const std::string& text : texts) {
    std::uint32_t pin = 0;
    if (!ParsePin(text, pin)) {
      context.Fail("Error: '" + text + "' is not a PIN. " + molvane::kPinOutOfRangeText);
      return false;
    }
    pins.push_back(pin);
  }
  return true;
}

bool CartHolds(const molvane::CartController& controller, std::uint32_t pin) {
  return molvane::ContainsPin(controller.Pins(), pin);
}

// Reads the list anew; false (after one line) when it could not be read whole.
bool Reread(CliContext& context) {
  if (!Check(context, molvane::DumpPinList(context.controller))) return false;
  context.fleet.PinsRead(context);
  return true;
}

void PrintHeld(const CliContext& context) {
  std::printf("The cart holds %d PIN(s).\n", context.controller.Pins().count);
}

void List(CliContext& context) {
  if (!context.Connect() || !Reread(context)) return;
  const molvane::PinList& list = context.controller.Pins();
  nlohmann::ordered_json pins = nlohmann::ordered_json::array();
  for (int i = 0; i < list.count; ++i) {
    const std::string pin = molvane::PinText(list, i);
    const int age = molvane::PinAgeDays(list, i);
    if (context.json) {
      pins.push_back({{"pin", pin}, {"age_days", age}});
    } else {
      std::printf("%s\t%d days\n", pin.c_str(), age);
    }
  }
  if (context.json) PrintJson({{"pins", pins}});
}

// Each PIN is added on its own; one the cart does not take is said, and the others still go.
void Add(CliContext& context, const std::vector<std::string>& texts) {
  std::vector<std::uint32_t> pins;
  if (!ParsePins(context, texts, pins) || !context.Connect()) return;
  // The copy must be current: PINs it already holds are not sent again.
  if (!Reread(context)) return;
  for (const std::uint32_t pin : pins) {
    const molvane::Outcome added =
        molvane::AddPin(context.controller, std::to_string(pin), molvane::Now());
    if (!added) context.Fail("Error: PIN " + std::to_string(pin) + " was not added: " + added.text);
  }
  if (!Reread(context)) return;
  for (const std::uint32_t pin : pins) {
    if (CartHolds(context.controller, pin)) std::printf("PIN %u is on the cart.\n", pin);
  }
  PrintHeld(context);
}

void Remove(CliContext& context, const std::vector<std::string>& texts) {
  std::vector<std::uint32_t> pins;
  if (!ParsePins(context, texts, pins) || !context.Connect() || !Reread(context)) return;
  std::vector<std::uint32_t> present;
  for (const std::uint32_t pin : pins) {
    if (CartHolds(context.controller, pin)) {
      present.push_back(pin);
    } else {
      std::printf("PIN %u was not on the cart.\n", pin);
    }
  }
  std::vector<std::uint32_t> confirmed;
  for (const std::uint32_t pin : present) {
    const molvane::Outcome removed = molvane::RemovePin(context.controller, std::to_string(pin));
    if (removed) {
      confirmed.push_back(pin);
    } else {
      context.Fail(ErrorLine(removed.text));
    }
  }
  // With the link gone nothing more can be learned, and the failure has been said.
  if (context.controller.CurrentPort() < 0 && context.exitCode != 0) return;
  if (!Reread(context)) return;
  for (const std::uint32_t pin : confirmed) {
    if (CartHolds(context.controller, pin)) {
      context.Fail("Error: PIN " + std::to_string(pin) + " is still on the cart");
    } else {
      std::printf("PIN %u removed.\n", pin);
    }
  }
  PrintHeld(context);
}

void Clear(CliContext& context) {
  if (!context.Connect() || !Reread(context)) return;
  // A clear cut short says how far it got, whatever can be read afterwards.
  if (const molvane::Outcome cleared = molvane::RemoveAllPins(context.controller); !cleared) {
    context.Fail(ErrorLine(cleared.text));
    return;
  }
  if (!Reread(context)) return;
  if (context.controller.Pins().count > 0) {
    context.Fail("Error: the cart still holds " + std::to_string(context.controller.Pins().count) +
                 " PIN(s)");
    return;
  }
  PrintHeld(context);
}

void Import(CliContext& context, const std::string& path) {
  if (!context.CheckReadable(path) || !context.Connect() || !Reread(context)) return;
  const molvane::Outcome imported = molvane::ImportPinList(context.controller, path);
  if (!imported) context.Fail(ErrorLine(imported.text));
  if (!Reread(context)) return;
  if (imported) std::printf("%d PIN(s) added from %s.\n", imported.done, path.c_str());
  PrintHeld(context);
  // A spreadsheet of PIN and name tells the fleet store's directory whose PINs they are.
  if (!imported) return;
  if (const int named = context.fleet.HoldersFrom(context, path); named > 0)
    std::printf("%d holder name(s) kept in the fleet store.\n", named);
}

void Export(CliContext& context, const std::string& path) {
  if (!context.Connect() || !Reread(context)) return;
  const molvane::Outcome written = molvane::ExportPinList(context.controller.Pins(), path);
  if (!Check(context, written)) return;
  std::printf("%s %d PIN(s) written to %s\n", written.text.c_str(), written.done, path.c_str());
}

const Registration registration([](CLI::App& app, CliContext& context) {
  auto* pins = app.add_subcommand("pins", "The cart's PIN list");
  pins->require_subcommand(1);
  OfferJson(context, pins->add_subcommand("list", "One line per PIN with its age in days"),
            R"({"pins": [{"pin": text; "age_days": number}]})")
      ->callback([&context] { List(context); });

  static std::vector<std::string> added;
  auto* add = pins->add_subcommand("add", "Add PINs and report what the cart holds");
  add->add_option("PIN", added, "PINs, up to ten digits each")->required();
  add->callback([&context] { Add(context, added); });

  static std::vector<std::string> removed;
  auto* remove = pins->add_subcommand("remove", "Remove PINs and report what the cart holds");
  remove->add_option("PIN", removed, "PINs, up to ten digits each")->required();
  remove->callback([&context] { Remove(context, removed); });

  pins->add_subcommand("clear", "Remove every PIN from the cart")->callback([&context] {
    Clear(context);
  });

  static std::string importPath;
  auto* import = pins->add_subcommand("import", "Add every PIN of a PIN list file");
  import->add_option("FILE", importPath, "PIN list file: one PIN at the start of each line")
      ->required();
  import->callback([&context] { Import(context, importPath);
});

static std::string exportPath;
auto* exportCommand = pins->add_subcommand("export", "Write the cart's PIN list to a file");
exportCommand->add_option("FILE", exportPath, "PIN list file to write")->required();
exportCommand->callback([&context] { Export(context, exportPath); });
});

}  // namespace
}  // namespace molvanectl
