#pragma once
#include <string>
#include <vector>

#include "app/progress.h"
#include "backup/backup_difference.h"
#include "backup/cart_backup.h"

namespace molvane {

class CartController;

// What a restore did.
struct RestoreOutcome {
  bool sent = false;      // commands that change the cart went to it
  bool verified = false;  // everything read back matches the backup
  // The cart as it was before, saved beside the backup; empty when the restore stopped before
  // anything could be sent.
  std::string undoFile;
  // The preview's lines: those carried out, in the order sent, and, when the restore stopped,
  // those not carried out.
  std::vector<std::string> applied;
  std::vector<std::string> notApplied;
  std::vector<std::string> notTaken;  // differences read back after a restore that went through
  std::string failure;                // what stopped it, in the failure's own words
  std::string summary;                // one line for the operator, whatever happened

  // The lists and where the undo file is, one line each, as the operator reads them below the
  // summary; empty when nothing could be sent.
  std::vector<std::string> Details() const;
  // The summary and the details, for a message box.
  std::string Message() const;
};

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
  // commands; the outcome tells what was carried out and what was not. Nothing is sent to a
  // cart that changed meanwhile (another cart plugged in while the preview was open), nor when
  // the undo file could not be written. `progress` hears how many of the changes were sent.
  RestoreOutcome Apply(const std::string& backupPath, const Progress& progress = {});

 private:
  CartController& controller;
  CartBackup backup;
  BackupDifference changes;
  std::string failure;
};

}  // namespace molvane
