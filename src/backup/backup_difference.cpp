#include "backup/backup_difference.h"

#include "backup/backup_fields.h"
#include "cart/pin_list.h"

namespace molvane {

BackupDifference CompareWithBackup(const CartBackup& cart, const CartBackup& backup) {
  BackupDifference difference;
  difference.cartPins = cart.pins.size();
  for (const BackupField& field : BackupFields()) {
    if (FieldDiffers(field, cart, backup))
      difference.settings.push_back(SettingChangeLine(field, cart, backup));
  }
  for (const PinEntry& entry : cart.pins) {
    if (!HoldsPin(backup, entry.pin)) difference.pinsRemoved.push_back(entry.pin);
  }
  for (const PinEntry& entry : backup.pins) {
    if (!HoldsPin(cart, entry.pin)) difference.pinsAdded.push_back(entry.pin);
  }
  return difference;
}

std::string SettingChangeLine(const BackupField& field, const CartBackup& cart,
                              const CartBackup& backup) {
  return std::string(field.label) + ": " + field.text(cart) + " -> " + field.text(backup);
}

std::string RemovePinLine(std::uint32_t pin) { return "Remove PIN " + std::to_string(pin); }

std::string AddPinLine(std::uint32_t pin) { return "Add PIN " + std::to_string(pin); }

std::vector<std::string> BackupDifference::Lines() const {
  std::vector<std::string> lines = settings;
  for (const std::uint32_t pin : pinsRemoved) lines.push_back(RemovePinLine(pin));
  for (const std::uint32_t pin : pinsAdded) lines.push_back(AddPinLine(pin));
  return lines;
}

std::string AddedPinNote(const BackupDifference& difference) {
  if (difference.pinsAdded.empty()) return {};
  return "The cart stamps each PIN it adds with its own clock: the " +
         std::to_string(difference.pinsAdded.size()) +
         " PIN(s) added get the cart's present time as activation time, not the times in the "
         "backup. Set the cart's clock first if it is wrong.";
}

std::string PinExchangeWarning(const BackupDifference& difference) {
  const std::size_t together = difference.cartPins + difference.pinsAdded.size();
  const auto capacity = static_cast<std::size_t>(PinList::kMaxPins);
  if (together <= capacity || difference.pinsRemoved.empty()) return {};
  return "Warning: the cart cannot hold its " + std::to_string(difference.cartPins) +
         " PIN(s) and the " + std::to_string(difference.pinsAdded.size()) +
         " new one(s) together (" + std::to_string(capacity) + " at most), so " +
         std::to_string(together - capacity) +
         " old PIN(s) are each removed just before a new one goes in: a restore cut short among "
         "those leaves the cart neither its old PIN list nor the new one whole. The file saved "
         "before the restore puts the old list back.";
}

std::string PreviewNote(const BackupDifference& difference) {
  const std::string warning = PinExchangeWarning(difference);
  const std::string note = AddedPinNote(difference);
  if (warning.empty() || note.empty()) return warning + note;
  return warning + "\n\n" + note;
}

}  // namespace molvane
