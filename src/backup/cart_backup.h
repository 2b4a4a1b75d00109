#pragma once
#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/cart_data.h"

namespace molvane {

// Everything a cart lets us set, as one record that can go to a file and back to this cart or
// to its replacement, and, for the record only, what it runs and how it is powered.
struct CartBackup {
  std::string name;
  std::string serialNumber;
  // Seconds.
  int backlightTimeout = 0;
  int keyboardLightTimeout = 0;
  int drawerLockTimeout = 0;
  bool motorLock = false;  // otherwise solenoid locks
  int mainLockMs = 0;
  int sideLockMs = 0;
  // The badge format and the PIN length as the cart's texts; empty when it reported none.
  std::string rfidBits;
  std::string rfidMask;
  std::string rfidFacility;
  std::string maxPinDigits;
  // The lift's limits in the whole tenths the cart reports and takes.
  int maxUpCurrentTenths = 0;
  int maxDownCurrentTenths = 0;
  int minBatteryVoltsTenths = 0;
  int liftRelockTimeout = 0;  // seconds
  int drawerCode = 0;         // the drawer sensor mask, which names the drawer layout
  // In the cart's order. The cart stamps a PIN with its own clock when it is added, so the
  // activation times are kept for the record but cannot be restored.
  std::vector<PinEntry> pins;

  // For the record only: no command sets them.
  std::array<std::string, 4> firmwareVersions;
  std::array<std::string, 2> hardwareVersions;
  std::string powerSupply;
};

inline bool HoldsPin(const CartBackup& backup, std::uint32_t pin) {
  return std::any_of(backup.pins.begin(), backup.pins.end(),
                     [pin](const PinEntry& entry) { return entry.pin == pin; });
}

}  // namespace molvane
