// The cart's identity and basic settings: versions, name, serial number, timeouts, lock times,
// lock type.
#include <array>
#include <cstdio>

#include "cart/cart_identity.h"
#include "cart/command_vocabulary.h"
#include "cart/setup_reply.h"
#include "cart/setup_values.h"
#include "cart/version_info.h"
#include "cli/cli_context.h"
#include "cli/json_output.h"

namespace molvanectl {
namespace {

// The page's check of a typed setting, with its message. An empty argument is a slip on the
// command line, not the page's empty field meaning 0, so it is refused as no integer.
bool CheckTyped(CliContext& context, const molvane::SettingRule& rule, const std::string& text,
                long& value) {
  const molvane::SettingCheck check = text.empty() ? molvane::SettingCheck::NotInteger
                                                   : molvane::CheckSetting(text, rule.max, value);
  if (check == molvane::SettingCheck::Ok) return true;
  context.Fail("Error: " + molvane::SettingMessage(check, rule) + " (given: '" + text + "')");
  return false;
}

// The cart's settings as it reports them now; false (after one line) when it stopped answering.
bool ReadSettings(CliContext& context, molvane::SetupSettings& settings) {
  std::string reply;
  if (!Take(context, molvane::GetSetupDlgFull(context.controller), reply)) return false;
  settings = molvane::DecodeSetupReply(reply);
  return true;
}

void PrintSettings(const molvane::SetupSettings& s) {
  std::printf("Keyboard light timeout: %d s\n", s.keyboardTimeout);
  std::printf("LCD backlight timeout: %d s\n", s.backlightTimeout);
  std::printf("Drawer lock-down timeout: %d s\n", s.relockTimeout);
  std::printf("Lock type: %s\n", molvane::LockTypeLabel(s.motorLock));
  std::printf("Main lock activation: %d ms\n", s.mainLockMs);
  std::printf("Side lock activation: %d ms\n", s.sideLockMs);
}

// What "info" shows, read once and printed as lines or as JSON.
struct CartInfo {
  std::string name, serial;
  std::array<std::string, 4> firmware;  // boards 1..4
  std::array<std::string, 2> hardware;
  int supply = 0;  // PowerSupplyKind
  molvane::SetupSettings settings;
};

void PrintInfoLines(const CartInfo& info) {
  std::printf("Cart name: %s\n", Shown(info.name).c_str());
  std::printf("Serial number: %s\n", Shown(info.serial).c_str());
  for (std::size_t i = 0; i < info.firmware.size(); ++i)
    std::printf("Firmware version %zu: %s\n", i + 1, Shown(info.firmware[i]).c_str());
  for (std::size_t i = 0; i < info.hardware.size(); ++i)
    std::printf("Hardware version %zu: %s\n", i + 1, Shown(info.hardware[i]).c_str());
  std::printf("Power supply: %s\n", molvane::PowerSupplyText(info.supply));
  PrintSettings(info.settings);
}

constexpr const char* kInfoKeys =
    R"({"cart_name", "serial_number": text; "firmware_versions": [4 texts];)"
    "\n  "
    R"( "hardware_versions": [2 texts]; "power_supply": "ac", "dc" or null;)"
    "\n  "
    R"( "keyboard_light_timeout_s", "lcd_backlight_timeout_s", "drawer_lock_down_timeout_s",)"
    "\n  "
    R"( "main_lock_activation_ms", "side_lock_activation_ms": number;)"
    "\n  "
    R"( "lock_type": "motor" or "solenoid"})";

void PrintInfoJson(const CartInfo& info) {
  const molvane::SetupSettings& s = info.settings;
  const nlohmann::ordered_json supply = info.supply == 1   ? "ac"
                                        : info.supply == 2 ? "dc"
                                                           : nlohmann::ordered_json();
  PrintJson({{"cart_name", info.name},
             {"serial_number", info.serial},
             {"firmware_versions", info.firmware},
             {"hardware_versions", info.hardware},
             {"power_supply", supply},
             {"keyboard_light_timeout_s", s.keyboardTimeout},
             {"lcd_backlight_timeout_s", s.backlightTimeout},
             {"drawer_lock_down_timeout_s", s.relockTimeout},
             {"lock_type", s.motorLock ? "motor" : "solenoid"},
             {"main_lock_activation_ms", s.mainLockMs},
             {"side_lock_activation_ms", s.sideLockMs}});
}

void Info(CliContext& context) {
  if (!context.Connect()) return;
  auto& controller = context.controller;
  CartInfo info;
  std::string supply;
  if (!Check(context, molvane::GetVersion(controller)) ||
      !Take(context, molvane::GetCartName(controller), info.name) ||
      !Take(context, molvane::GetSerialNumber(controller), info.serial) ||
      !Take(context, molvane::GetPowerSupplyType(controller), supply) ||
      !ReadSettings(context, info.settings)) {
    return;
  }
  info.supply = molvane::PowerSupplyKind(supply);
  info.firmware = controller.Versions().firmware;
  info.hardware = controller.Versions().hardware;
  if (context.json) {
    PrintInfoJson(info);
  } else {
    PrintInfoLines(info);
  }
}

struct TimeoutArguments {
  std::string keyboard, backlight, relock;
};

void SetTimeouts(CliContext& context, const TimeoutArguments& a) {
  long keyboard = 0, backlight = 0, relock = 0;
  if (!CheckTyped(context, molvane::kKeyboardLightRule, a.keyboard, keyboard) ||
      !CheckTyped(context, molvane::kBacklightRule, a.backlight, backlight) ||
      !CheckTyped(context, molvane::kDrawerLockRule, a.relock, relock) || !context.Connect()) {
    return;
  }
  auto& controller = context.controller;
  molvane::SetupSettings s;
  if (!Check(context, molvane::SetKeyboardTimeout(controller, static_cast<int>(keyboard))) ||
      !Check(context, molvane::SetBacklightTimeout(controller, static_cast<int>(backlight))) ||
      !Check(context, molvane::SetRelockTimeout(controller, static_cast<int>(relock))) ||
      !ReadSettings(context, s)) {
    return;
  }
  const bool taken = ConfirmSetting(context, "keyboard light timeout", std::to_string(keyboard),
                                    std::to_string(s.keyboardTimeout)) &
                     ConfirmSetting(context, "LCD backlight timeout", std::to_string(backlight),
                                    std::to_string(s.backlightTimeout)) &
                     ConfirmSetting(context, "drawer lock-down timeout", std::to_string(relock),
                                    std::to_string(s.relockTimeout));
  if (taken) std::printf("%s\n", molvane::kUpdateComplete);
}

struct LockArguments {
  std::string main, side;
};

void SetLocks(CliContext& context, const LockArguments& a) {
  long mainMs = 0, sideMs = 0;
  const molvane::SettingCheck check =
      a.main.empty() || a.side.empty()
          ? molvane::SettingCheck::NotInteger
          : molvane::CheckLockActivation(a.main, a.side, mainMs, sideMs);
  if (check != molvane::SettingCheck::Ok) {
    context.Fail("Error: " + molvane::SettingMessage(check, molvane::kLockActivationRule) +
                 " (given: '" + a.main + "' '" + a.side + "')");
    return;
  }
  molvane::SetupSettings s;
  if (!context.Connect() ||
      !Check(context, molvane::SetLockActivation(context.controller, static_cast<int>(mainMs),
                                                 static_cast<int>(sideMs))) ||
      !ReadSettings(context, s)) {
    return;
  }
  const bool taken = ConfirmSetting(context, "main lock activation time", std::to_string(mainMs),
                                    std::to_string(s.mainLockMs)) &
                     ConfirmSetting(context, "side lock activation time", std::to_string(sideMs),
                                    std::to_string(s.sideLockMs));
  if (taken) std::printf("%s\n", molvane::kUpdateComplete);
}

void SetLockType(CliContext& context, const std::string& kind) {
  const bool motor = kind == "motor";
  const int code = motor ? molvane::kMotorLockCode : molvane::kSolenoidLockCode;
  molvane::SetupSettings s;
  if (!context.Connect() || !Check(context, molvane::SetCartType(context.controller, code)) ||
      !ReadSettings(context, s)) {
    return;
  }
  if (ConfirmSetting(context, "lock type", molvane::LockTypeLabel(motor),
                     molvane::LockTypeLabel(s.motorLock))) {
    std::printf("%s\n", molvane::kCartTypeSet);
  }
}

bool CheckIdentityText(CliContext& context, const std::string& what, const std::string& text) {
  if (molvane::IsIdentityText(text)) return true;
  context.Fail("Error: " + molvane::IdentityTextRefusal(what));
  return false;
}

std::string KeptIdentityText(const std::string& what, const std::string& text) {
  if (text.size() <= molvane::kMaxIdentityLength) return text;
  const std::string kept = text.substr(0, molvane::kMaxIdentityLength);
  std::printf("The cart keeps %zu characters of the %s: \"%s\"\n", molvane::kMaxIdentityLength,
              what.c_str(), kept.c_str());
  return kept;
}

void SetSerial(CliContext& context, const std::string& text) {
  if (!CheckIdentityText(context, "serial number", text) || !context.Connect()) return;
  const std::string kept = KeptIdentityText("serial number", text);
  std::string reported;
  if (!Check(context, molvane::SetSerialNumber(context.controller, kept)) ||
      !Take(context, molvane::GetSerialNumber(context.controller), reported) ||
      !ConfirmSetting(context, "serial number", kept, reported)) {
    return;
  }
  std::printf("%s\n", molvane::kSerialUpdated);
}

void SetName(CliContext& context, const std::string& text) {
  if (!CheckIdentityText(context, "cart name", text) || !context.Connect()) return;
  const std::string kept = KeptIdentityText("cart name", text);
  std::string reported;
  if (!Check(context, molvane::SetCartName(context.controller, kept)) ||
      !Take(context, molvane::GetCartName(context.controller), reported) ||
      !ConfirmSetting(context, "cart name", kept, reported)) {
    return;
  }
  std::printf("Cart name: %s\n", Shown(reported).c_str());
}

std::string Kept() {
  return " (" + std::to_string(molvane::kMaxIdentityLength) + " characters kept)";
}

const Registration registration([](CLI::App& app, CliContext& context) {
  OfferJson(context,
            app.add_subcommand(
                "info", "Versions, name, serial number, power supply and settings of the cart"),
            kInfoKeys)
      ->callback([&context] { Info(context); });

  static TimeoutArguments timeouts;
  auto* setTimeouts =
      app.add_subcommand("set-timeouts", "Set the three inactivity timeouts (0.." +
                                             std::to_string(molvane::kMaxTimeoutSeconds) + " s)");
  setTimeouts->add_option("KEYBOARD", timeouts.keyboard, "Keyboard light timeout, seconds")
      ->required();
  setTimeouts->add_option("BACKLIGHT", timeouts.backlight, "LCD backlight timeout, seconds")
      ->required();
  setTimeouts->add_option("RELOCK", timeouts.relock, "Drawer lock-down timeout, seconds")
      ->required();
  setTimeouts->callback([&context] { SetTimeouts(context, timeouts); });

  static LockArguments locks;
  auto* setLocks =
      app.add_subcommand("set-locks", "Set the lock activation times (0.." +
                                          std::to_string(molvane::kMaxLockActivationMs) + " ms)");
  setLocks->add_option("MAIN", locks.main, "Main lock activation time, ms")->required();
  setLocks->add_option("SIDE", locks.side, "Side lock activation time, ms")->required();
  setLocks->callback([&context] { SetLocks(context, locks); });

  static std::string cartType;
  auto* setType = app.add_subcommand("set-cart-type", "Set the lock type");
  setType->add_option("TYPE", cartType, "motor or solenoid")
      ->required()
      ->check(CLI::IsMember({"motor", "solenoid"}));
  setType->callback([&context] { SetLockType(context, cartType); });

  static std::string serial;
  auto* setSerial = app.add_subcommand("set-serial", "Set the cart's serial number" + Kept());
  setSerial->add_option("TEXT", serial, "Serial number")->required();
  setSerial->callback([&context] { SetSerial(context, serial); });

  static std::string name;
  auto* setName = app.add_subcommand("set-name", "Set the cart's name" + Kept());
  setName->add_option("TEXT", name, "Cart name")->required();
  setName->callback([&context] { SetName(context, name); });
});

}  // namespace
}  // namespace molvanectl
