// The PIN list, the access log and the clock that dates them.
#include "sim/cart_model.h"

namespace cartsim {
namespace {

constexpr std::string_view kError = "error\r\n";

}  // namespace

std::string CartModel::PinListDump(std::string_view) { return state->pins.DumpLines(); }

std::string CartModel::PinListAdd(std::string_view argument) {
  const auto pin = ParsePinText(argument);
  if (!pin) return std::string(kError);
  if (state->pins.Add(*pin, clock.Now()) != CartPins::AddResult::Stored) {
    return std::string(kError);
  }
  NoteChange();
  return {};
}

std::string CartModel::PinListRemove(std::string_view argument) {
  const auto pin = ParsePinText(argument);
  if (!pin || !state->pins.Remove(*pin)) return std::string(kError);
  NoteChange();
  return {};
}

std::string CartModel::LogDump(std::string_view) { return state->events.DumpLines(); }

std::string CartModel::LogClear(std::string_view) {
  state->events.Clear();
  NoteChange();
  return {};
}

std::string CartModel::SetTime(std::string_view argument) {
  const auto date = ParseCartDate(argument);
  if (!date) return std::string(kError);
  clock.Set(*date);
  NoteChange();
  return {};
}

}  // namespace cartsim
