#include "app/cart_data.h"

#include <algorithm>
#include <string>

#include "app/cart_controller.h"
#include "base/clock.h"
#include "base/cart_time.h"
#include "cart/command_steps.h"
#include "cart/dump_reader.h"
#include "base/number_text.h"
#include "cart/pin_dump_line.h"

namespace molvane {
namespace {

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

// Ties keep the earlier entry, so the first of several equally old PINs is the one named.
void StoreDumpedPin(PinList& list, const PinEntry& entry, std::int64_t& bestAge) {
  if (list.count >= PinList::kMaxPins) return;
  list.entries[static_cast<std::size_t>(list.count)] = entry;
  const std::int64_t age = AgeInDays(Now(), entry.activationTime);
  if (age > bestAge) {
    bestAge = age;
    list.oldestIndex = list.count;
  }
  ++list.count;
}

bool ContainsPin(const PinList& list, std::uint32_t pin) {
  const auto end = list.entries.begin() + list.count;
  return std::find_if(list.entries.begin(), end,
                      [pin](const PinEntry& e) { return e.pin == pin; }) != end;
}

void ErasePin(PinList& list, std::uint32_t pin) {
  const auto end = list.entries.begin() + list.count;
  const auto kept =
      std::remove_if(list.entries.begin(), end, [pin](const PinEntry& e) { return e.pin == pin; });
  list.count = static_cast<int>(kept - list.entries.begin());
}

}  // namespace

void CartController::DumpPinList() {
  pinList.count = 0;
  pinList.oldestIndex = -1;
  std::int64_t bestAge = -1;
  SendCommand("pin_list_dump");
  WaitCursor cursor(Ui());
  ReadDumpRecords(*this, [&](const std::string& line) {
    PinEntry entry;
    if (pinList.count < PinList::kMaxPins && ParsePinDumpLine(line, entry))
      StoreDumpedPin(pinList, entry, bestAge);
  });
}

std::string CartController::PinText(int index) const {
  if (index < 0 || index >= pinList.count) return {};
  return std::to_string(pinList.entries[static_cast<std::size_t>(index)].pin);
}

int CartController::PinAgeDays(int index) const {
  if (index < 0 || index >= pinList.count) return -1;
  const auto& entry = pinList.entries[static_cast<std::size_t>(index)];
  const std::int64_t days = AgeInDays(Now(), entry.activationTime);
  return static_cast<int>(std::clamp<std::int64_t>(days, -2147483647, 2147483647));
}

int CartController::PinAgeDaysClamped(int index) const {
  if (index == -1 || pinList.count == 0) return -1;
  return PinAgeDays(std::clamp(index, 0, pinList.count - 1));
}

void CartController::AddPin(const std::string& pinText, std::int64_t activationTime) {
  const std::uint32_t pin = TextToPin(pinText);
  if (ContainsPin(pinList, pin)) return;
  if (pinList.count >= PinList::kMaxPins) {
    Ui().MessageBox("Max number of pins exceeded.", UiServices::Buttons::Ok, "Error");
    return;
  }
  const std::string reply = SendAndRead(*this, "pin_list_add " + SingleLine(pinText));
  if (!StartsWith(reply, ">")) return;
  pinList.entries[static_cast<std::size_t>(pinList.count++)] = {pin, activationTime};
}

// A list line starts with the PIN zero-padded to ten digits; the cart takes it as it stands.
void CartController::RemovePin(const std::string& pinText) {
  const std::string kept = SingleLine(pinText).substr(0, 10);
  const std::uint32_t target = TextToPin(kept);
  const std::string reply = SendAndRead(*this, "pin_list_remove " + kept);
  if (StartsWith(reply, ">") || StartsWith(reply, "error")) ErasePin(pinList, target);
}

// Removes one PIN at a time, as the cart has no single command to empty its list. A removal
// that changes nothing (no answer, link lost) would repeat forever, so it ends the loop.
bool CartController::RemoveAllPins() {
  WaitCursor cursor(Ui());
  while (pinList.count > 0) {
    const int before = pinList.count;
    RemovePin(PinText(0));
    if (pinList.count == before) return false;
  }
  return true;
}

}  // namespace molvane
