#pragma once
#include <string>
#include <vector>

#include "backup/backup_difference.h"
#include "backup/cart_backup.h"

namespace molvane {

class CartController;

// What a restore did.
struct RestoreOutcome {
  bool sent = false;                  // commands went to the cart
  bool verified = false;              // everything read back matches the backup
  std::vector<std::string> notTaken;  // the differences left after the restore
  std::string message;                // for the operator, whatever happened
};

// A restore in two steps, so that the operator sees what would change before anything is sent.
class CartRestore {
 public:
  CartRestore(CartController& controller, CartBackup backup);

  // Reads the cart and works out what would change; false, with Failure(), when the cart could
  // not be read. Sends nothing that changes the cart.
  bool Preview();
  const BackupDifference& Changes() const { return changes; }
  const std::string& Failure() const { return failure; }

  // Reads the cart again and, when it still differs exactly as previewed, sends what differs
  // and reads everything back. A cart that changed meanwhile (another cart plugged in while the
  // preview was open) is sent nothing.
  RestoreOutcome Apply();

 private:
  CartController& controller;
  CartBackup backup;
  BackupDifference changes;
  std::string failure;
};

// Sends what differs between `cart`, as just read from the connected cart, and `backup`: the
// settings first, then the PINs, the cart's extra ones removed before any is added so that a
// full cart has room. The controller's copy of the PIN list must be the cart's.
void ApplyBackup(CartController& controller, const CartBackup& cart, const CartBackup& backup);

}  // namespace molvane
