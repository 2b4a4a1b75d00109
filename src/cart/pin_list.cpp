#include "cart/pin_list.h"

#include <algorithm>
#include <string>

#include "app/cart_controller.h"
#include "base/cart_time.h"
#include "base/clock.h"
#include "base/number_text.h"
#include "base/printable_text.h"
#include "cart/command_steps.h"
#include "cart/dump_reader.h"
#include "cart/pin_dump_line.h"
#include "cart/pin_text.h"

namespace molvane {
namespace {

// "4294967295 59 59 23 31 12 99" and its line end.
constexpr int kPinRecordBytes = 32;

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

void ErasePin(PinList& list, std::uint32_t pin) {
  const auto end = list.entries.begin() + list.count;
  const auto kept =
      std::remove_if(list.entries.begin(), end, [pin](const PinEntry& e) { return e.pin == pin; });
  list.count = static_cast<int>(kept - list.entries.begin());
}

// The cart answers "error" to the removal of a PIN it does not hold and to a removal it refuses
// alike. Its list tells the two apart: a PIN it no longer holds is gone, as the operator wanted;
// one it still holds, or a list that cannot be read, is a removal that did not happen.
Outcome JudgeRemovalRefused(CartController& controller, std::uint32_t pin, const Outcome& refusal) {
  const std::string named = "PIN " + std::to_string(pin);
  if (const Outcome read = DumpPinList(controller); !read) {
    return Outcome::Failure(named +
                            " was not removed: the cart answered \"error\", and its list could "
                            "not be read to tell whether it still holds it: " +
                            read.text);
  }
  if (ContainsPin(controller.Pins(), pin))
    return Outcome::Failure("The cart refused to remove " + named + ": " + refusal.text);
  return Outcome::Success();
}

std::string NotAPin(const std::string& text) {
  return "'" + PrintableText(text, 24) + "' is not a PIN: " + kPinOutOfRangeText;
}

}  // namespace

Outcome DumpPinList(CartController& controller, const Progress& progress) {
  if (Outcome sent = controller.SendCommand("pin_list_dump"); !sent) return sent;
  PinList list;
  list.oldestIndex = -1;
  std::int64_t bestAge = -1;
  Outcome read = ReadDumpRecords(controller, {PinList::kMaxPins, kPinRecordBytes}, progress,
                                 [&](const std::string& line) {
                                   PinEntry entry;
                                   if (!ParsePinDumpLine(line, entry)) return false;
                                   StoreDumpedPin(list, entry, bestAge);
                                   return true;
                                 });
  if (read) controller.KeepPins(list);
  return read;
}

std::string PinText(const PinList& list, int index) {
  if (index < 0 || index >= list.count) return {};
  return std::to_string(list.entries[static_cast<std::size_t>(index)].pin);
}

int PinAgeDays(const PinList& list, int index) {
  if (index < 0 || index >= list.count) return -1;
  const auto& entry = list.entries[static_cast<std::size_t>(index)];
  const std::int64_t days = AgeInDays(Now(), entry.activationTime);
  return static_cast<int>(std::clamp<std::int64_t>(days, -2147483647, 2147483647));
}

int PinAgeDaysClamped(const PinList& list, int index) {
  if (index == -1 || list.count == 0) return -1;
  return PinAgeDays(list, std::clamp(index, 0, list.count - 1));
}

bool ContainsPin(const PinList& list, std::uint32_t pin) {
  const auto end = list.entries.begin() + list.count;
  return std::find_if(list.entries.begin(), end,
                      [pin](const PinEntry& e) { return e.pin == pin; }) != end;
}

Outcome AddPin(CartController& controller, const std::string& pinText,
               std::int64_t activationTime) {
  if (pinText.empty() || !IsAcceptablePinText(pinText)) return Outcome::Failure(NotAPin(pinText));
  const std::uint32_t pin = TextToPin(pinText);
  PinList list = controller.Pins();
  if (ContainsPin(list, pin)) return Outcome::Success();
  if (list.count >= PinList::kMaxPins) return Outcome::Failure(kMaxPinsExceeded);
  Result<std::string> reply = SendAndRead(controller, "pin_list_add " + pinText);
  if (!reply) return reply.outcome;
  if (!StartsWith(reply.value, ">")) {
    return Outcome::Failure("The cart did not take PIN " + std::to_string(pin) + ": it answered '" +
                            PrintableText(reply.value, 32) + "'.");
  }
  list.entries[static_cast<std::size_t>(list.count++)] = {pin, activationTime};
  controller.KeepPins(list);
  return Outcome::Success({}, 1);
}

Outcome AddPins(CartController& controller, const std::vector<std::string>& pins,
                const Progress& progress) {
  const int total = static_cast<int>(pins.size());
  int added = 0;
  for (int i = 0; i < total; ++i) {
    const Outcome outcome = progress.Cancelled()
                                ? Outcome::Failure(texts::kCancelled)
                                : AddPin(controller, pins[static_cast<std::size_t>(i)], Now());
    if (!outcome) {
      return Outcome::Failure(std::to_string(added) + " PIN(s) added, " +
                                  std::to_string(total - i) + " not added: " + outcome.text,
                              added, total);
    }
    added += outcome.done;
    progress.Report(i + 1, total);
  }
  return Outcome::Success({}, added, total);
}

Outcome RemovePin(CartController& controller, const std::string& pinText) {
  const std::string kept = SingleLine(pinText).substr(0, 10);
  const std::uint32_t target = TextToPin(kept);
  const Result<std::string> reply = SendAndRead(controller, "pin_list_remove " + kept);
  if (StartsWith(reply.value, ">")) {
    PinList list = controller.Pins();
    ErasePin(list, target);
    controller.KeepPins(list);
    return Outcome::Success({}, 1);
  }
  const std::string pin = std::to_string(target);
  if (StartsWith(reply.value, "error"))
    return JudgeRemovalRefused(controller, target, reply.outcome);
  if (!reply) {
    Outcome failed = reply.outcome;
    return failed.Reworded("PIN " + pin + " was not removed: " + reply.outcome.text);
  }
  return Outcome::Failure("The cart did not remove PIN " + pin + ": it answered '" +
                          PrintableText(reply.value, 32) + "'.");
}

Outcome RemoveAllPins(CartController& controller, const Progress& progress) {
  const int total = controller.Pins().count;
  int removed = 0;
  const auto notCleared = [&](const std::string& why) {
    return Outcome::Failure("The PIN list was not cleared (" + std::to_string(removed) + " of " +
                                std::to_string(total) + " PIN(s) removed): " + why,
                            removed, total);
  };
  while (controller.Pins().count > 0) {
    if (progress.Cancelled()) return notCleared(texts::kCancelled);
    const int before = controller.Pins().count;
    const Outcome outcome = RemovePin(controller, PinText(controller.Pins(), 0));
    if (!outcome) return notCleared(outcome.text);
    if (controller.Pins().count >= before) return notCleared("A PIN could not be removed.");
    progress.Report(++removed, total);
  }
  return Outcome::Success({}, removed, total);
}

}  // namespace molvane
