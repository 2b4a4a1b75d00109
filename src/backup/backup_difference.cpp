#include "backup/backup_difference.h"

#include "backup/backup_fields.h"

namespace molvane {

BackupDifference CompareWithBackup(const CartBackup& cart, const CartBackup& backup) {
  BackupDifference difference;
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

}  // namespace molvane
