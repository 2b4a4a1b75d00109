#include "cart/calib_reply.h"

#include <charconv>
#include <cstdio>
#include <vector>

#include "base/number_text.h"
#include "cart/reply_fields.h"

namespace molvane {
namespace {

std::uint8_t SensorBitsItem(std::string_view item) {
  if (item.size() < 2) return 0;
  const int high = HexDigitValue(item[0]);
  const int low = HexDigitValue(item[1]);
  if (high < 0 || low < 0) return 0;
  return static_cast<std::uint8_t>(high * 16 + low);
}

// One decimal, as "%2.1f" prints it in the C locale, whatever locale the program runs in.
std::string OneDecimal(float value) {
  char text[64];
  const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 1);
  return std::string(text, result.ptr);
}

}  // namespace

CalibFastData DecodeCalibFastReply(std::string_view reply) {
  const std::vector<std::string_view> items = BlankSeparatedItems(reply);
  const auto number = [&](std::size_t i) { return i < items.size() ? TextToInt(items[i]) : 0; };
  CalibFastData data;
  data.liftLocked = number(0) != 0;
  data.autoLock = number(1) != 0;
  data.sensorsRunning = number(2) != 0;
  if (items.size() > 3) data.sensorBits = SensorBitsItem(items[3]);
  return data;
}

CalibSlowData DecodeCalibSlowReply(std::string_view reply) {
  const std::vector<std::string_view> items = BlankSeparatedItems(reply);
  const auto number = [&](std::size_t i) {
    return i < items.size() ? TextToFloat(items[i]) : 0.0f;
  };
  CalibSlowData data;
  data.maxUpCurrentTenths = number(0);
  data.maxDownCurrentTenths = number(1);
  data.minVoltsTenths = number(2);
  data.relockTimeout = number(3);
  data.drawerCode = items.size() > 4 ? TextToInt(items[4]) : 0;
  return data;
}

std::string TenthsText(float tenths) {
  const float value = tenths / 10.0f;
  const std::string text = OneDecimal(value);
  if (static_cast<double>(value) - static_cast<double>(TextToFloat(text)) > 0.05)
    return OneDecimal(value + 0.1f);
  return text;
}

std::string WholeSecondsText(float seconds) {
  constexpr float kLargest = 4294967295.0f;  // rounds to 2^32 as a float
  if (!(seconds > 0)) return "0";
  if (seconds >= kLargest) return "4294967295";
  return std::to_string(static_cast<std::uint32_t>(seconds));
}

std::string HexCodeText(int value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%02x", static_cast<unsigned>(value));
  return text;
}

const char* SensorRunText(bool running) { return running ? "Running" : "Disabled"; }

}  // namespace molvane
