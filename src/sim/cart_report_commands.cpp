// Read-only reports: identity, setup summary, calibration data, and the gas gauge.
#include <cstdio>

#include "sim/cart_model.h"
#include "sim/gas_gauge_model.h"

namespace cartsim {
namespace {

std::string_view AuxFirmwareLine(CartModel::AuxBoard board) {
  switch (board) {
    case CartModel::AuxBoard::Charger:
      return "Charger Firmware v1.07";
    case CartModel::AuxBoard::Translation:
      return "Translation Firmware v2.01";
    case CartModel::AuxBoard::None:
      break;
  }
  return "No Auxiliary Board";
}

std::string_view PowerSupplyWord(CartModel::PowerSupply supply) {
  return supply == CartModel::PowerSupply::AC ? "AC" : "DC";
}

}  // namespace

std::string CartModel::Version(std::string_view) {
  // Firmware and hardware lines interleave: main firmware, main board, third board's firmware,
  // front board, front firmware, bootloader.
  std::string out = "Main Firmware v4.12\r\nMain Board Rev D\r\n";
  out.append(AuxFirmwareLine(options.auxBoard)).append("\r\n");
  out += "Front Board Rev B\r\nFront Firmware v2.31\r\nBootloader v1.02\r\n";
  return out;
}

std::string CartModel::PowerSupplyType(std::string_view) {
  return std::string(PowerSupplyWord(options.powerSupply)) + "\r\n";
}

std::string CartModel::SetupDialogFull(std::string_view) {
  const CartSettings& s = state->settings;
  char line[128];
  std::snprintf(line, sizeof line, "%d %d %d %d %d %d %s\r\n", s.backlightTimeout,
                s.keyboardTimeout, s.relockTimeout, s.cartType, s.mainLockMs, s.sideLockMs,
                PowerSupplyWord(options.powerSupply).data());
  return line;
}

std::string CartModel::SensorGetRun(std::string_view) {
  return std::to_string(state->settings.sensorsRunning) + "\r\n";
}

std::string CartModel::CalibFastData(std::string_view) {
  const CartSettings& s = state->settings;
  // Stopped sensors read nothing; running ones report only the fitted drawer places.
  const unsigned bits = s.sensorsRunning != 0 ? (sensorInputs & s.sensorMask & 0xFFu) : 0u;
  char line[64];
  std::snprintf(line, sizeof line, "%d %d %d %02x\r\n", s.liftLocked, s.liftAutoLock,
                s.sensorsRunning, bits);
  return line;
}

std::string CartModel::CalibSlowData(std::string_view) {
  const CartSettings& s = state->settings;
  char line[96];
  std::snprintf(line, sizeof line, "%d %d %d %d %d\r\n", s.liftUpCurrentTenths,
                s.liftDownCurrentTenths, s.liftMinVoltsTenths, s.liftRelockTimeout, s.sensorMask);
  return line;
}

std::string CartModel::GasGaugeReset(std::string_view) {
  // The gauge sits on the charger board; without one there is nothing to reset.
  if (options.auxBoard != AuxBoard::Charger) return "error\r\n";
  return std::string(kGaugeResetDone);
}

}  // namespace cartsim
