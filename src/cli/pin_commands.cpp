// The cart's PIN list: list, add, remove, clear, and PIN list files.
#include <cstdint>
#include <cstdio>
#include <vector>

#include "base/clock.h"
#include "base/number_text.h"
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
  const molvane::PinList& list = controller.Pins();
  for (int i = 0; i < list.count && i < molvane::PinList::kMaxPins; ++i) {
    if (list.entries[static_cast<std::size_t>(i)].pin == pin) return true;
  }
  return false;
}

// Reads the list anew; false (after one line) when the cart stopped answering.
bool Reread(CliContext& context) {
  context.controller.DumpPinList();
  return context.CheckLink();
}

void PrintHeld(const CliContext& context) {
  std::printf("The cart holds %d PIN(s).\n", context.controller.PinCount());
}

void List(CliContext& context) {
  if (!context.Connect() || !Reread(context)) return;
  const auto& controller = context.controller;
  nlohmann::ordered_json pins = nlohmann::ordered_json::array();
  for (int i = 0; i < controller.PinCount(); ++i) {
    if (context.json) {
      pins.push_back({{"pin", controller.PinText(i)}, {"age_days", controller.PinAgeDays(i)}});
    } else {
      std::printf("%s\t%d days\n", controller.PinText(i).c_str(), controller.PinAgeDays(i));
    }
  }
  if (context.json) PrintJson({{"pins", pins}});
}

void Add(CliContext& context, const std::vector<std::string>& texts) {
  std::vector<std::uint32_t> pins;
  if (!ParsePins(context, texts, pins) || !context.Connect()) return;
  // The copy must be current: the controller skips PINs it already holds.
  if (!Reread(context)) return;
  for (const std::uint32_t pin : pins)
    context.controller.AddPin(std::to_string(pin), molvane::Now());
  if (!Reread(context)) return;
  for (const std::uint32_t pin : pins) {
    if (CartHolds(context.controller, pin)) {
      std::printf("PIN %u is on the cart.\n", pin);
    } else {
      context.Fail("Error: the cart did not take PIN " + std::to_string(pin));
    }
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
  for (const std::uint32_t pin : present) context.controller.RemovePin(std::to_string(pin));
  if (!Reread(context)) return;
  for (const std::uint32_t pin : present) {
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
  const bool finished = context.controller.RemoveAllPins();
  if (!Reread(context)) return;
  if (!finished || context.controller.PinCount() > 0) {
    context.Fail("Error: the cart still holds " + std::to_string(context.controller.PinCount()) +
                 " PIN(s)");
    return;
  }
  PrintHeld(context);
}

bool CheckReadable(CliContext& context, const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    context.Fail("Error: cannot read " + path);
    return false;
  }
  std::fclose(file);
  return true;
}

void Import(CliContext& context, const std::string& path) {
  if (!CheckReadable(context, path) || !context.Connect() || !Reread(context)) return;
  const int shownBefore = context.ui.MessagesShown();
  const bool checked = context.controller.ImportPinList(path);
  // The import has told the operator why (a PIN out of range, a full cart) in its own words.
  if (!checked || context.ui.MessagesShown() != shownBefore) context.exitCode = 1;
  if (!Reread(context)) return;
  PrintHeld(context);
}

void Export(CliContext& context, const std::string& path) {
  if (!context.Connect() || !Reread(context)) return;
  if (!context.controller.ExportPinList(path)) {
    context.Fail("Error: could not write " + path);
    return;
  }
  std::printf("Pin List Saved Successfully. %d PIN(s) written to %s\n",
              context.controller.PinCount(), path.c_str());
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
