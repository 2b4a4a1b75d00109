#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "backup/cart_backup.h"

namespace molvane {

// What a restore would change on a cart: the settings that differ and the PINs that come and go.
struct BackupDifference {
  std::vector<std::string> settings;       // "Cart name: \"Cart\" -> \"Ward 3\""
  std::vector<std::uint32_t> pinsRemoved;  // on the cart, not in the backup
  std::vector<std::uint32_t> pinsAdded;    // in the backup, not on the cart
  std::size_t cartPins = 0;                // how many the cart holds now

  bool Empty() const { return settings.empty() && pinsRemoved.empty() && pinsAdded.empty(); }
  // One line per difference: the settings, then "Remove PIN n", then "Add PIN n".
  std::vector<std::string> Lines() const;
};

// `cart` as read from the connected cart, `backup` as the file holds it.
BackupDifference CompareWithBackup(const CartBackup& cart, const CartBackup& backup);

// The preview's words for one change, which a restore's report repeats.
struct BackupField;
std::string SettingChangeLine(const BackupField& field, const CartBackup& cart,
                              const CartBackup& backup);
std::string RemovePinLine(std::uint32_t pin);
std::string AddPinLine(std::uint32_t pin);

// What a preview must say when PINs are added: the cart stamps them with its own clock. Empty
// when none is added.
std::string AddedPinNote(const BackupDifference& difference);

// What a preview must say when the cart cannot hold its PINs and the backup's together, so that
// some are exchanged one for one and a restore cut short among those leaves neither list whole.
// Empty otherwise.
std::string PinExchangeWarning(const BackupDifference& difference);

// Everything a preview says below its list: the warning first, then the note; empty when there
// is nothing to say.
std::string PreviewNote(const BackupDifference& difference);

}  // namespace molvane
