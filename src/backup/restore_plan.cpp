#include "backup/restore_plan.h"

#include <algorithm>
#include <cstdint>

#include "backup/backup_difference.h"
#include "backup/backup_fields.h"
#include "base/clock.h"
#include "cart/pin_list.h"

namespace molvane {
namespace {

// The fields of one setting stand together in the table, so a field joins the step before it
// when both belong to the same setting.
void PlanSettings(const CartBackup& cart, const CartBackup& backup,
                  std::vector<RestoreStep>& steps) {
  const char* previousSetting = nullptr;
  for (const BackupField& field : BackupFields()) {
    if (!FieldDiffers(field, cart, backup)) continue;
    const BackupField* sent = &field;
    RestoreCommand command{
        SettingChangeLine(field, cart, backup), field.command,
        [sent, backup](CartController& controller) { return sent->send(controller, backup); },
        [sent, wanted = field.text(backup)](const CartBackup& after) {
          return sent->text(after) == wanted;
        }};
    const bool joins = field.setting != nullptr && field.setting == previousSetting;
    if (!joins) steps.emplace_back();
    steps.back().commands.push_back(std::move(command));
    previousSetting = field.setting;
  }
}

RestoreStep AddStep(std::uint32_t pin, bool mayStopBefore = true) {
  return {{{AddPinLine(pin), "pin_list_add",
            [pin](CartController& controller) {
              // The cart stamps the PIN with its own clock; the time given only fills our copy.
              return AddPin(controller, std::to_string(pin), Now());
            },
            [pin](const CartBackup& after) { return HoldsPin(after, pin); }}},
          mayStopBefore};
}

RestoreStep RemoveStep(std::uint32_t pin) {
  return {
      {{RemovePinLine(pin), "pin_list_remove",
        [pin](CartController& controller) { return RemovePin(controller, std::to_string(pin)); },
        [pin](const CartBackup& after) { return !HoldsPin(after, pin); }}}};
}

}  // namespace

std::vector<RestoreStep> PlanRestore(const CartBackup& cart, const CartBackup& backup) {
  std::vector<RestoreStep> steps;
  PlanSettings(cart, backup, steps);
  const BackupDifference pins = CompareWithBackup(cart, backup);
  const std::size_t capacity = static_cast<std::size_t>(PinList::kMaxPins);
  std::size_t room = capacity - std::min(cart.pins.size(), capacity);
  std::size_t removed = 0;
  for (const std::uint32_t pin : pins.pinsAdded) {
    // A backup holds no more PINs than a cart, so a full cart has removals enough to pair.
    const bool exchanged = room == 0 && removed < pins.pinsRemoved.size();
    if (exchanged) steps.push_back(RemoveStep(pins.pinsRemoved[removed++]));
    steps.push_back(AddStep(pin, !exchanged));
    if (!exchanged && room > 0) --room;
  }
  for (; removed < pins.pinsRemoved.size(); ++removed)
    steps.push_back(RemoveStep(pins.pinsRemoved[removed]));
  return steps;
}

}  // namespace molvane
