#include "sim/cart_model.h"

#include <cstdio>

#include "sim/cart_seed.h"
#include "sim/cart_state_file.h"

namespace cartsim {
namespace {

constexpr std::string_view kPrompt = ">";
constexpr std::string_view kUnknown = "unknown cmd\r\n";
constexpr std::string_view kError = "error\r\n";
// Full travel of the lift column; the motor stops at the end switch after this.
constexpr std::int64_t kLiftTravelSeconds = 20;

std::string_view TrimBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

}  // namespace

const CartModel::Command CartModel::kCommands[] = {
    {"status", &CartModel::Status},
    {"lock", &CartModel::Lock},
    {"unlock", &CartModel::Unlock},
    {"keyboard_toggle", &CartModel::KeyboardToggle},
    {"lift_up", &CartModel::LiftUp},
    {"lift_dn", &CartModel::LiftDown},
    {"lift_off", &CartModel::LiftOff},
    {"lockbits", &CartModel::LockBits},
    {"get_cycle_count", &CartModel::CycleCount},
    {"cycle_count_reset", &CartModel::CycleCountReset},
    {"version", &CartModel::Version},
    {"get_ps_type", &CartModel::PowerSupplyType},
    {"get_setup_dlg_full", &CartModel::SetupDialogFull},
    {"sensor_get_run", &CartModel::SensorGetRun},
    {"get_calib_fast_data", &CartModel::CalibFastData},
    {"get_calib_slow_data", &CartModel::CalibSlowData},
    {"gas_gauge_reset", &CartModel::GasGaugeReset},
    {"pin_list_dump", &CartModel::PinListDump},
    {"pin_list_add", &CartModel::PinListAdd},
    {"pin_list_remove", &CartModel::PinListRemove},
    {"log_dump", &CartModel::LogDump},
    {"log_clear", &CartModel::LogClear},
    {"set_time", &CartModel::SetTime},
};

CartModel::CartModel() : CartModel(Options()) {}

CartModel::CartModel(Options chosen)
    : options(std::move(chosen)),
      clock(options.hostNow ? options.hostNow : HostClock(SystemHostNow)),
      state(std::make_unique<CartState>()),
      statusByte(options.statusByte) {
  if (!options.hostNow) options.hostNow = SystemHostNow;
  unlockedAtHost = clock.HostNow();
  liftStartedAtHost = unlockedAtHost;
  LoadOrSeed();
}

void CartModel::SetStatusByte(std::uint8_t value) {
  const std::int64_t now = clock.HostNow();
  if ((value & kDrawerUnlocked) != 0 && (statusByte & kDrawerUnlocked) == 0) unlockedAtHost = now;
  if ((value & kLiftMoving) != 0 && (statusByte & kLiftMoving) == 0) liftStartedAtHost = now;
  statusByte = value;
}

void CartModel::LoadOrSeed() {
  if (!options.stateFile.empty()) {
    const LoadResult result = LoadCartState(options.stateFile, *state);
    if (result == LoadResult::Loaded) {
      clock.SetOffset(state->clockOffset);
      return;
    }
    state = std::make_unique<CartState>();
    if (result == LoadResult::Rejected) {
      // Keep the unreadable file for a look rather than overwrite it with a fresh cart.
      stateFileRejected = true;
      std::rename(options.stateFile.c_str(), (options.stateFile + ".rejected").c_str());
    }
  }
  if (!options.startEmpty) SeedCartState(*state, clock.Now());
  state->clockOffset = clock.Offset();
}

bool CartModel::SaveState() {
  state->clockOffset = clock.Offset();
  if (options.stateFile.empty()) return true;
  return SaveCartState(options.stateFile, *state);
}

std::string CartModel::Execute(std::string_view line) {
  line = TrimBlanks(line);
  Tick();
  std::string answer;
  if (!line.empty()) {
    const std::size_t blank = line.find(' ');
    const std::string_view word = line.substr(0, blank);
    const std::string_view argument =
        blank == std::string_view::npos ? std::string_view() : TrimBlanks(line.substr(blank));
    answer = Dispatch(word, argument);
  }
  if (changed) {
    changed = false;
    SaveState();
  }
  return answer.append(kPrompt);
}

std::string CartModel::Dispatch(std::string_view word, std::string_view argument) {
  for (const Command& command : kCommands) {
    if (command.word == word) return (this->*command.handler)(argument);
  }
  if (const NumericSetting* setting = FindNumericSetting(word))
    return SetNumber(*setting, argument);
  for (const TextSetting& setting : TextSettings()) {
    if (setting.setCommand == word) return SetText(setting, argument);
    if (setting.getCommand == word) return GetText(setting);
  }
  return std::string(kUnknown);
}

std::string CartModel::SetNumber(const NumericSetting& setting, std::string_view argument) {
  long long value = 0;
  if (!ParseWholeNumber(argument, value) || !AcceptsNumeric(setting, value)) {
    return std::string(kError);
  }
  state->settings.*setting.field = static_cast<int>(value);
  NoteChange();
  return {};
}

std::string CartModel::SetText(const TextSetting& setting, std::string_view argument) {
  std::string_view value = argument;
  if (setting.quoted) {
    const std::size_t open = argument.find('"');
    const std::size_t close = argument.rfind('"');
    if (open == std::string_view::npos || close == open) return std::string(kError);
    value = argument.substr(open + 1, close - open - 1).substr(0, kMaxQuotedLength);
  }
  if (!setting.accepts(value)) return std::string(kError);
  if (setting.number && options.numericBadgeSettings) {
    long long number = 0;
    ParseWholeNumber(value, number);
    state->settings.*setting.field = std::to_string(number);
  } else {
    state->settings.*setting.field = std::string(value);
  }
  NoteChange();
  return {};
}

std::string CartModel::GetText(const TextSetting& setting) const {
  const std::string& value = state->settings.*setting.field;
  return setting.quoted ? "\"" + value + "\"\r\n" : value + "\r\n";
}

void CartModel::Tick() {
  const std::int64_t now = clock.HostNow();
  const int relock = state->settings.relockTimeout;
  if ((statusByte & kDrawerUnlocked) != 0 && relock > 0 && now - unlockedAtHost >= relock) {
    statusByte = static_cast<std::uint8_t>(statusByte & ~kDrawerUnlocked);
  }
  if ((statusByte & kLiftMoving) != 0 && now - liftStartedAtHost >= kLiftTravelSeconds) {
    statusByte = static_cast<std::uint8_t>(statusByte & ~kLiftMoving);
  }
}

bool CartModel::EnterPinOnKeypad(std::uint32_t pin) {
  Tick();
  if (!state->pins.Contains(pin)) return false;
  state->events.Add(CartEvent{pin, static_cast<int>(CartEventCode::Access), clock.Now()});
  Unlock({});
  SaveState();
  changed = false;
  return true;
}

}  // namespace cartsim
