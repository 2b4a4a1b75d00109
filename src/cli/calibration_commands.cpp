// Factory calibration: drawer sensors, the lift and its limits, the lock bits and the drawer
// layout, with the same conversions and limits as the desktop program's page.
#include <cstdio>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "base/number_text.h"
#include "cart/calib_reply.h"
#include "cart/command_vocabulary.h"
#include "cart/drawer_layouts.h"
#include "cart/lift_settings.h"
#include "cart/setup_values.h"
#include "cli/cli_context.h"
#include "cli/json_output.h"

namespace molvanectl {
namespace {

using molvane::CartController;

bool ReadFast(CliContext& context, molvane::CalibFastData& data) {
  std::string reply;
  if (!Take(context, molvane::GetCalibFastData(context.controller), reply)) return false;
  data = molvane::DecodeCalibFastReply(reply);
  return true;
}

bool ReadSlow(CliContext& context, molvane::CalibSlowData& data) {
  std::string reply;
  if (!Take(context, molvane::GetCalibSlowData(context.controller), reply)) return false;
  data = molvane::DecodeCalibSlowReply(reply);
  return true;
}

const char* OnOff(bool on) { return on ? "on" : "off"; }

std::string LayoutText(int code) {
  const int index = molvane::DrawerLayoutIndex(code);
  if (index < 0) return "none of the known layouts";
  return molvane::DrawerLayoutName(code) + " (" +
         molvane::kDrawerLayouts[static_cast<std::size_t>(index)].description + ")";
}

void PrintFast(const molvane::CalibFastData& d) {
  std::printf("Lift lock: %s\n", OnOff(d.liftLocked));
  std::printf("Auto lock: %s\n", OnOff(d.autoLock));
  std::printf("Sensors: %s\n", molvane::SensorRunText(d.sensorsRunning));
  std::string set;
  for (int bit = 0; bit < 8; ++bit) {
    if (((d.sensorBits >> bit) & 1) != 0) set += " " + std::to_string(bit);
  }
  std::printf("Sensor bits: %s (set:%s)\n", molvane::HexCodeText(d.sensorBits).c_str(),
              set.empty() ? " none" : set.c_str());
}

void PrintLimits(const molvane::CalibSlowData& d) {
  std::printf("Max up current: %s A\n", molvane::TenthsText(d.maxUpCurrentTenths).c_str());
  std::printf("Max down current: %s A\n", molvane::TenthsText(d.maxDownCurrentTenths).c_str());
  std::printf("Min battery voltage: %s V\n", molvane::TenthsText(d.minVoltsTenths).c_str());
  std::printf("Auto-lock timeout: %s s\n", molvane::WholeSecondsText(d.relockTimeout).c_str());
}

void PrintDrawers(const molvane::CalibSlowData& d) {
  std::printf("Drawer code: %s\n", molvane::HexCodeText(d.drawerCode).c_str());
  std::printf("Drawer layout: %s\n", LayoutText(d.drawerCode).c_str());
}

constexpr const char* kCalibKeys =
    R"({"lift_locked", "auto_lock", "sensors_running": true or false; "sensor_bits": number;)"
    "\n  "
    R"( "max_up_current_a", "max_down_current_a", "min_battery_voltage_v",)"
    "\n  "
    R"( "auto_lock_timeout_s": number, rounded as the lines show it;)"
    "\n  "
    R"( "drawer_code": number; "drawer_layout": "4/1111" and the like, null for an unknown code})";

// The numbers are taken from the texts the lines show, so both round alike.
nlohmann::ordered_json CalibJson(const molvane::CalibFastData& f, const molvane::CalibSlowData& s) {
  const bool known = molvane::DrawerLayoutIndex(s.drawerCode) >= 0;
  return {{"lift_locked", f.liftLocked},
          {"auto_lock", f.autoLock},
          {"sensors_running", f.sensorsRunning},
          {"sensor_bits", f.sensorBits},
          {"max_up_current_a", NumberFromText(molvane::TenthsText(s.maxUpCurrentTenths))},
          {"max_down_current_a", NumberFromText(molvane::TenthsText(s.maxDownCurrentTenths))},
          {"min_battery_voltage_v", NumberFromText(molvane::TenthsText(s.minVoltsTenths))},
          {"auto_lock_timeout_s", NumberFromText(molvane::WholeSecondsText(s.relockTimeout))},
          {"drawer_code", static_cast<unsigned>(s.drawerCode)},
          {"drawer_layout", known ? nlohmann::ordered_json(molvane::DrawerLayoutName(s.drawerCode))
                                  : nlohmann::ordered_json()}};
}

void Calib(CliContext& context) {
  molvane::CalibFastData fast;
  molvane::CalibSlowData slow;
  if (!context.Connect() || !ReadFast(context, fast) || !ReadSlow(context, slow)) return;
  if (context.json) {
    PrintJson(CalibJson(fast, slow));
    return;
  }
  PrintFast(fast);
  PrintLimits(slow);
  PrintDrawers(slow);
}

void Sensors(CliContext& context, const std::string& action) {
  if (!context.Connect()) return;
  if (action == "status") {
    molvane::CalibFastData fast;
    if (ReadFast(context, fast)) PrintFast(fast);
    return;
  }
  const bool run = action == "run";
  int reported = 0;
  if (!Check(context, molvane::SetSensorRun(context.controller, run ? 1 : 0)) ||
      !Take(context, molvane::GetSensorRun(context.controller), reported)) {
    return;
  }
  const bool running = reported != 0;
  if (ConfirmSetting(context, "sensor state", molvane::SensorRunText(run),
                     molvane::SensorRunText(running))) {
    std::printf("Sensors: %s\n", molvane::SensorRunText(running));
  }
}

void MoveLift(CliContext& context, const std::string& action) {
  if (!context.Connect()) return;
  const auto move = action == "up"     ? molvane::LiftUp
                    : action == "down" ? molvane::LiftDown
                                       : molvane::LiftOff;
  // The fast report after the command shows that the cart still listens.
  const auto failure = [](const std::string& text) {
    return ErrorLine(molvane::LiftMoveFailureText(text));
  };
  const bool taken = Check(context, move(context.controller), failure) &&
                     Check(context, molvane::GetCalibFastData(context.controller).outcome, failure);
  if (taken) {
    std::printf("%s: the cart took the command.\n", action == "up"     ? "Lift Up"
                                                    : action == "down" ? "Lift Down"
                                                                       : "Brake");
  }
}

// Lock or automatic relock, read back from the fast report.
void SetLiftFlag(CliContext& context, bool lock, bool on) {
  if (!context.Connect()) return;
  const char* what = lock ? "lift lock" : "auto lock";
  const char* label = lock ? "Lift lock" : "Auto lock";
  const molvane::Outcome sent = lock ? molvane::SetLiftLock(context.controller, on ? 1 : 0)
                                     : molvane::SetLiftRelockStatus(context.controller, on ? 1 : 0);
  if (!Check(context, sent)) return;
  molvane::CalibFastData fast;
  if (!ReadFast(context, fast)) return;
  const bool reported = lock ? fast.liftLocked : fast.autoLock;
  if (ConfirmSetting(context, what, OnOff(on), OnOff(reported)))
    std::printf("%s: %s\n", label, OnOff(reported));
}

struct LimitArguments {
  std::optional<std::string> up, down, minVolts, relockTimeout;
};

// One limit to send: the rule it is typed by, the operation that converts and sends it, the
// conversion (to know what the cart must then report), and where the slow report has it.
struct Limit {
  const molvane::LiftLimit& rule;
  molvane::Outcome (*send)(CartController&, float);
  int (*tenths)(float);
  float molvane::CalibSlowData::*reported;
  float value = 0;
};

using Slow = molvane::CalibSlowData;
const Limit kUpCurrent{molvane::kMaxUpCurrentLimit, molvane::SetLiftMaxUpCurrent,
                       molvane::LiftCurrentToTenths, &Slow::maxUpCurrentTenths};
const Limit kDownCurrent{molvane::kMaxDownCurrentLimit, molvane::SetLiftMaxDownCurrent,
                         molvane::LiftCurrentToTenths, &Slow::maxDownCurrentTenths};
const Limit kMinVolts{molvane::kMinVoltsLimit, molvane::SetLiftMinVolts, molvane::LiftVoltsToTenths,
                      &Slow::minVoltsTenths};

// Adds a limit given on the command line; false (after one line) when its text is no number.
bool AddLimit(CliContext& context, const std::optional<std::string>& text, Limit limit,
              std::vector<Limit>& limits) {
  if (!text) return true;
  if (!Take(context, molvane::ReadLiftLimit(*text, limit.rule), limit.value)) return false;
  limits.push_back(limit);
  return true;
}

// Sends the limits as the page does and confirms each against the slow report.
bool SendLimits(CliContext& context, const std::vector<Limit>& limits, int timeout) {
  for (const Limit& limit : limits) {
    if (!Check(context, limit.send(context.controller, limit.value))) return false;
  }
  if (timeout >= 0 && !Check(context, molvane::SetLiftRelockTimeout(context.controller, timeout)))
    return false;
  molvane::CalibSlowData slow;
  if (!ReadSlow(context, slow)) return false;
  bool taken = true;
  for (const Limit& limit : limits) {
    const int tenths = limit.tenths(limit.value);
    const std::string sent = molvane::TenthsText(static_cast<float>(tenths));
    if (static_cast<double>(limit.value) * 10 > tenths + 1)
      std::printf("The %s is limited to %s %s.\n", limit.rule.what, sent.c_str(), limit.rule.unit);
    taken &=
        ConfirmSetting(context, limit.rule.what, sent, molvane::TenthsText(slow.*limit.reported));
  }
  if (timeout >= 0) {
    taken &= ConfirmSetting(context, "auto-lock timeout", std::to_string(timeout),
                            molvane::WholeSecondsText(slow.relockTimeout));
  }
  PrintLimits(slow);
  return taken;
}

void Limits(CliContext& context, const LimitArguments& a) {
  std::vector<Limit> limits;
  int timeout = -1;
  if (!AddLimit(context, a.up, kUpCurrent, limits) ||
      !AddLimit(context, a.down, kDownCurrent, limits) ||
      !AddLimit(context, a.minVolts, kMinVolts, limits) ||
      (a.relockTimeout &&
       !Take(context, molvane::ReadLiftRelockTimeout(*a.relockTimeout), timeout)) ||
      !context.Connect()) {
    return;
  }
  if (limits.empty() && timeout < 0) {
    molvane::CalibSlowData slow;
    if (ReadSlow(context, slow)) PrintLimits(slow);
    return;
  }
  if (SendLimits(context, limits, timeout)) std::printf("%s\n", molvane::kUpdateComplete);
}

void LockBits(CliContext& context) {
  std::string bits;
  if (!context.Connect() || !Take(context, molvane::GetLockBits(context.controller), bits)) return;
  std::printf("Lock bits: %s\n", Shown(bits).c_str());
}

std::string LayoutChoices() {
  std::string text;
  for (const molvane::DrawerLayout& layout : molvane::kDrawerLayouts) {
    text += "\n  " + std::to_string(layout.code) + " or " + molvane::HexCodeText(layout.code) +
            " or " + molvane::DrawerLayoutName(layout.code) + ": " + layout.description;
  }
  return text;
}

void Drawers(CliContext& context, const std::string& choice) {
  int index = -1;
  if (!choice.empty()) {
    index = molvane::FindDrawerLayout(choice);
    if (index < 0) {
      context.Fail("Error: '" + choice + "' is none of the drawer layouts:" + LayoutChoices());
      return;
    }
  }
  if (!context.Connect()) return;
  if (index >= 0) {
    const int code = molvane::kDrawerLayouts[static_cast<std::size_t>(index)].code;
    if (!Check(context, molvane::SetSensorMask(context.controller, code))) return;
  }
  molvane::CalibSlowData slow;
  if (!ReadSlow(context, slow)) return;
  if (index >= 0) {
    const int code = molvane::kDrawerLayouts[static_cast<std::size_t>(index)].code;
    if (!ConfirmSetting(context, "drawer code", molvane::HexCodeText(code),
                        molvane::HexCodeText(slow.drawerCode))) {
      return;
    }
  }
  PrintDrawers(slow);
}

const Registration registration([](CLI::App& app, CliContext& context) {
  OfferJson(context,
            app.add_subcommand("calib", "Print the cart's two calibration reports, decoded"),
            kCalibKeys)
      ->callback([&context] { Calib(context); });

  static std::string sensorAction;
  auto* sensors = app.add_subcommand("sensors", "The drawer sensors");
  sensors->add_option("ACTION", sensorAction, "run, stop or status")
      ->required()
      ->check(CLI::IsMember({"run", "stop", "status"}));
  sensors->callback([&context] { Sensors(context, sensorAction); });

  auto* lift = app.add_subcommand("lift", "The motorised lift");
  lift->require_subcommand(1);
  const std::pair<const char*, const char*> moves[] = {
      {"up", "Drive the lift up"}, {"down", "Drive the lift down"}, {"brake", "Stop the lift"}};
  for (const auto& [action, help] : moves) {
    lift->add_subcommand(action, help)->callback([&context, action = std::string(action)] {
      MoveLift(context, action);
    });
  }
  static std::string lockState, autoState;
  auto* lock = lift->add_subcommand("lock", "Lock or release the lift, then read it back");
  lock->add_option("STATE", lockState, "on or off")
      ->required()
      ->check(CLI::IsMember({"on", "off"}));
  lock->callback([&context] { SetLiftFlag(context, true, lockState == "on"); });
  auto* relock =
      lift->add_subcommand("auto", "Switch the lift's automatic relock, then read it back");
  relock->add_option("STATE", autoState, "on or off")
      ->required()
      ->check(CLI::IsMember({"on", "off"}));
  relock->callback([&context] { SetLiftFlag(context, false, autoState == "on"); });

  static LimitArguments limitArguments;
  auto* limits = lift->add_subcommand(
      "limits",
      "Print the lift limits; set those given (currents and voltage 0 to 76.7, "
      "larger values are limited), then read them back");
  limits->add_option("--up", limitArguments.up, "Max up current, amperes");
  limits->add_option("--down", limitArguments.down, "Max down current, amperes");
  limits->add_option("--min-volts", limitArguments.minVolts, "Min battery voltage, volts");
  limits->add_option("--relock-timeout", limitArguments.relockTimeout,
                     "Auto-lock timeout, 0 to 65534 seconds");
  limits->callback([&context] { Limits(context, limitArguments); });

  app.add_subcommand("lockbits", "Print the cart's lock bits as it reports them")
      ->callback([&context] { LockBits(context); });

  static std::string layout;
  auto* drawers = app.add_subcommand(
      "drawers", "Print the drawer layout; with CODE or LAYOUT, set it and read it back");
  drawers->footer("Layouts (drawer heights from the top, left column/right column):" +
                  LayoutChoices());
  drawers->add_option("CODE|LAYOUT", layout, "A code or a layout name");
  drawers->callback([&context] { Drawers(context, layout); });
});

}  // namespace
}  // namespace molvanectl
