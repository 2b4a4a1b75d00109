// Drawers, keyboard lamp, lift and the lock cycle counter: the commands that move something.
#include <cstdio>

#include "sim/cart_model.h"

namespace cartsim {
namespace {

constexpr std::string_view kError = "error\r\n";

std::string HexByteLine(unsigned value) {
  char line[8];
  std::snprintf(line, sizeof line, "%02X\r\n", value & 0xFFu);
  return line;
}

}  // namespace

std::string CartModel::Status(std::string_view) {
  // The second line carries the battery reading, which the host does not decode.
  std::string line = HexByteLine(statusByte);
  if (!options.statusNote.empty()) line.insert(line.size() - 2, " " + options.statusNote);
  return line + "bat 26.4V 87%\r\n";
}

std::string CartModel::Lock(std::string_view) {
  statusByte = static_cast<std::uint8_t>(statusByte & ~kDrawerUnlocked);
  return {};
}

std::string CartModel::Unlock(std::string_view) {
  statusByte = static_cast<std::uint8_t>(statusByte | kDrawerUnlocked);
  unlockedAtHost = clock.HostNow();
  ++state->settings.cycleCount;
  NoteChange();
  return {};
}

std::string CartModel::KeyboardToggle(std::string_view) {
  statusByte = static_cast<std::uint8_t>(statusByte ^ kKeyboardLampOn);
  return {};
}

std::string CartModel::StartLift() {
  // A locked lift is held by its brake; the motor is not driven against it.
  if (state->settings.liftLocked != 0) return std::string(kError);
  statusByte = static_cast<std::uint8_t>(statusByte | kLiftMoving);
  liftStartedAtHost = clock.HostNow();
  return {};
}

std::string CartModel::LiftUp(std::string_view) { return StartLift(); }
std::string CartModel::LiftDown(std::string_view) { return StartLift(); }

std::string CartModel::LiftOff(std::string_view) {
  statusByte = static_cast<std::uint8_t>(statusByte & ~kLiftMoving);
  return {};
}

std::string CartModel::LockBits(std::string_view) {
  // One bit per fitted drawer place that is held locked.
  const bool unlocked = (statusByte & kDrawerUnlocked) != 0;
  return HexByteLine(unlocked ? 0u : static_cast<unsigned>(state->settings.sensorMask));
}

std::string CartModel::CycleCount(std::string_view) {
  return std::to_string(state->settings.cycleCount) + "\r\n";
}

std::string CartModel::CycleCountReset(std::string_view) {
  state->settings.cycleCount = 0;
  NoteChange();
  return {};
}

}  // namespace cartsim
