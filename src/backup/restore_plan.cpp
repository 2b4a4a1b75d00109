#include "backup/restore_plan.h"

#include <algorithm>
#include <cstdint>

#include "backup/backup_difference.h"
#include "backup/backup_fields.h"
#include "base/clock.h"
#include "cart/pin_list.h"

namespace molvane {
namespace {

using Sender = Outcome (*)(CartController&, const CartBackup&);

// Fields that go to the cart together share their sender, which runs once for all of them.
void PlanSettings(const CartBackup& cart, const CartBackup& backup,
                  std::vector<RestoreStep>& steps) {
  std::vector<Sender> planned;
  for (const BackupField& field : BackupFields()) {
    if (!FieldDiffers(field, cart, backup)) continue;
    const auto at = std::find(planned.begin(), planned.end(), field.send);
    if (at != planned.end()) {
      steps[static_cast<std::size_t>(at - planned.begin())].lines.push_back(
          SettingChangeLine(field, cart, backup));
      continue;
    }
    const Sender send = field.send;
    steps.push_back(
        {{SettingChangeLine(field, cart, backup)},
         [send, backup](CartController& controller) { return send(controller, backup); }});
    planned.push_back(send);
  }
}

RestoreStep AddStep(std::uint32_t pin, bool mayStopBefore = true) {
  return {{AddPinLine(pin)},
          [pin](CartController& controller) {
            // The cart stamps the PIN with its own clock; the time given only fills our copy.
            return AddPin(controller, std::to_string(pin), Now());
          },
          mayStopBefore};
}

RestoreStep RemoveStep(std::uint32_t pin) {
  return {{RemovePinLine(pin)},
          [pin](CartController& controller) { return RemovePin(controller, std::to_string(pin)); }};
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
