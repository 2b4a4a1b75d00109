#pragma once
#include <functional>
#include <string>

#include "app/progress.h"
#include "backup/backup_difference.h"
#include "backup/cart_backup.h"
#include "backup/restore_outcome.h"

namespace molvane {

class CartController;

// How the cart is reached again once its link was given up after an answer did not come (the
// port is then closed): true when it answers again. Empty: it is not tried.
using ReachCartAgain = std::function<bool(CartController& controller)>;

// A restore in two steps, so that the operator sees what would change before anything is sent.
class CartRestore {
 public:
  CartRestore(CartController& controller, CartBackup backup);

  // Reads the cart and works out what would change; false, with Failure(), when the cart could
  // not be read. Sends nothing that changes the cart.
  bool Preview(const Progress& progress = {});
  const BackupDifference& Changes() const { return changes; }
  const std::string& Failure() const { return failure; }

  // Reads the cart again and, when it still differs exactly as previewed, saves it as it is
  // beside `backupPath` (see UndoBackupPath), sends what differs (see PlanRestore) and reads
  // everything back. The first failure stops it, and so does a cancel, checked between
  // settings and PINs; the outcome tells what was carried out and what was not. After a
  // failure of a command (not a cancel) the cart is read back, through `reachAgain` when the
  // link was given up, so that a command whose answer was lost is told by what the cart holds.
  // Nothing is sent to a cart that changed meanwhile (another cart plugged in while the preview
  // was open), nor when the undo file could not be written. `progress` hears how many of the
  // steps were sent.
  RestoreOutcome Apply(const std::string& backupPath, const Progress& progress = {},
                       const ReachCartAgain& reachAgain = {});

 private:
  CartController& controller;
  CartBackup backup;
  BackupDifference changes;
  std::string failure;
};

}  // namespace molvane
