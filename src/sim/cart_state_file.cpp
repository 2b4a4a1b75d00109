#include "sim/cart_state_file.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace cartsim {
namespace {

constexpr std::string_view kHeader = "cartsim-state 1";

void AppendNumber(std::string& out, std::string_view key, long long value) {
  out.append(key).append(" ").append(std::to_string(value)).append("\n");
}

bool ParseNumberField(std::istringstream& in, long long& value) {
  std::string word;
  return static_cast<bool>(in >> word) && ParseWholeNumber(word, value);
}

bool ParsePinLine(std::istringstream& in, CartState& state) {
  long long pin = 0;
  long long when = 0;
  if (!ParseNumberField(in, pin) || !ParseNumberField(in, when)) return false;
  if (pin < 0 || pin > 0xFFFFFFFFll) return false;
  const auto added = state.pins.Add(static_cast<std::uint32_t>(pin), when);
  return added == CartPins::AddResult::Stored;
}

bool ParseEventLine(std::istringstream& in, CartState& state) {
  long long pin = 0;
  long long code = 0;
  long long when = 0;
  if (!ParseNumberField(in, pin) || !ParseNumberField(in, code) || !ParseNumberField(in, when)) {
    return false;
  }
  if (pin < 0 || pin > 0xFFFFFFFFll || code < 0 || code > 255) return false;
  if (state.events.Count() == CartEvents::kCapacity) return false;
  state.events.Add(CartEvent{static_cast<std::uint32_t>(pin), static_cast<int>(code), when});
  return true;
}

bool ParseSettingLine(std::string_view key, std::string_view rest, CartState& state) {
  for (const NumericSetting& setting : NumericSettings()) {
    if (setting.key != key) continue;
    long long value = 0;
    if (!ParseWholeNumber(rest, value) || !AcceptsNumeric(setting, value)) return false;
    state.settings.*setting.field = static_cast<int>(value);
    return true;
  }
  for (const TextSetting& setting : TextSettings()) {
    if (setting.key != key) continue;
    if (!setting.accepts(rest)) return false;
    if (setting.quoted && rest.size() > kMaxQuotedLength) return false;
    state.settings.*setting.field = std::string(rest);
    return true;
  }
  return false;
}

bool ParseLine(const std::string& line, CartState& state) {
  std::istringstream in(line);
  std::string key;
  in >> key;
  if (key == "pin") return ParsePinLine(in, state) && in.eof();
  if (key == "event") return ParseEventLine(in, state) && in.eof();
  const std::size_t blank = line.find(' ');
  const std::string_view rest =
      blank == std::string::npos ? std::string_view() : std::string_view(line).substr(blank + 1);
  if (key == "clockOffset") {
    long long offset = 0;
    if (!ParseWholeNumber(rest, offset)) return false;
    state.clockOffset = offset;
    return true;
  }
  return ParseSettingLine(key, rest, state);
}

}  // namespace

std::string FormatCartState(const CartState& state) {
  std::string out(kHeader);
  out += "\n";
  AppendNumber(out, "clockOffset", state.clockOffset);
  for (const NumericSetting& setting : NumericSettings()) {
    AppendNumber(out, setting.key, state.settings.*setting.field);
  }
  for (const TextSetting& setting : TextSettings()) {
    out.append(setting.key).append(" ").append(state.settings.*setting.field).append("\n");
  }
  for (int i = 0; i < state.pins.Count(); ++i) {
    const CartPin pin = *state.pins.At(i);
    out += "pin " + std::to_string(pin.pin) + " " + std::to_string(pin.activated) + "\n";
  }
  for (int i = 0; i < state.events.Count(); ++i) {
    const CartEvent e = *state.events.At(i);
    out += "event " + std::to_string(e.pin) + " " + std::to_string(e.code) + " " +
           std::to_string(e.when) + "\n";
  }
  return out;
}

bool ParseCartState(const std::string& text, CartState& state) {
  std::istringstream in(text);
  std::string line;
  if (!std::getline(in, line) || line != kHeader) return false;
  while (std::getline(in, line)) {
    if (line.empty()) continue;
    if (!ParseLine(line, state)) return false;
  }
  return true;
}

bool SaveCartState(const std::string& path, const CartState& state) {
  const std::string temporary = path + ".tmp" + std::to_string(::getpid());
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << FormatCartState(state);
    out.flush();
    if (!out) {
      std::remove(temporary.c_str());
      return false;
    }
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}

LoadResult LoadCartState(const std::string& path, CartState& state) {
  std::error_code error;
  if (!std::filesystem::exists(path, error) && !error) return LoadResult::Missing;
  // Reading a FIFO or a device would never end.
  if (!std::filesystem::is_regular_file(path, error)) return LoadResult::Rejected;
  std::ifstream in(path, std::ios::binary);
  if (!in) return LoadResult::Rejected;
  std::ostringstream text;
  text << in.rdbuf();
  return ParseCartState(text.str(), state) ? LoadResult::Loaded : LoadResult::Rejected;
}

}  // namespace cartsim
