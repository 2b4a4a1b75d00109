#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace molvane {

// The cart's two calibration reports and how the factory page shows them. Both are one line of
// blank-separated items; extra items are ignored and missing ones read as 0.

// "get_calib_fast_data": lift lock, automatic relock, sensors running, sensor bits.
struct CalibFastData {
  bool liftLocked = false;
  bool autoLock = false;
  bool sensorsRunning = false;
  // Read from the first two characters of the fourth item as hexadecimal digits; 0 when that
  // item is shorter or they are not both hexadecimal digits.
  std::uint8_t sensorBits = 0;
};
CalibFastData DecodeCalibFastReply(std::string_view reply);

// "get_calib_slow_data": the lift limits in tenths, the relock timeout and the drawer code.
struct CalibSlowData {
  float maxUpCurrentTenths = 0;
  float maxDownCurrentTenths = 0;
  float minVoltsTenths = 0;
  float relockTimeout = 0;  // seconds
  int drawerCode = 0;
};
CalibSlowData DecodeCalibSlowReply(std::string_view reply);

// Tenths as units with one decimal ("2.5"); a text that reads back more than 0.05 below the
// value shows the value plus 0.1 instead.
std::string TenthsText(float tenths);
// The whole seconds, as an unsigned number: below 0 shows 0, beyond 4294967295 that.
std::string WholeSecondsText(float seconds);
// "0x%02x" of the value as an unsigned 32-bit number: 143 shows "0x8f".
std::string HexCodeText(int value);
// "Running" or "Disabled".
const char* SensorRunText(bool running);

}  // namespace molvane
