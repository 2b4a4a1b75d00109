#include "pages/backup_menu.h"

#include <cctype>
#include <string>

#include "app/cart_controller.h"
#include "backup/backup_difference.h"
#include "backup/backup_fields.h"
#include "backup/backup_file.h"
#include "backup/backup_read.h"
#include "backup/cart_restore.h"

namespace molvane {
namespace {

FileDialogRequest BackupFileDialog(FileDialogRequest::Kind kind, const std::string& initialName) {
  FileDialogRequest request;
  request.kind = kind;
  request.title =
      kind == FileDialogRequest::Kind::Save ? BackupMenu::kBackUpTitle : BackupMenu::kRestoreTitle;
  request.types = {{"Cart Backups (*.txt)", "*.txt"}, {"All Files (*.*)", "*.*"}};
  request.initialName = initialName;
  request.defaultExtension = "txt";
  request.askBeforeOverwrite = kind == FileDialogRequest::Kind::Save;
  return request;
}

// "Cart MV-20417.txt": the serial number names the cart, as far as a file name can carry it.
std::string SuggestedName(const CartBackup& backup) {
  std::string name = "Cart";
  if (!backup.serialNumber.empty()) name += " ";
  for (const char c : backup.serialNumber)
    name += std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '-' ? c : '_';
  return name + ".txt";
}

}  // namespace

UiServices& BackupMenu::Ui() const { return controller.Ui(); }

bool BackupMenu::PortFree() const {
  if (!controller.IsBusy()) return true;
  Ui().MessageBox(texts::kTransferRunning);
  return false;
}

// The cart is read before the file is asked for, so that nothing is asked of the operator when
// there is nothing to write.
void BackupMenu::BackUpCart() {
  if (!PortFree()) return;
  CartBackup backup;
  std::string failure;
  bool read = false;
  {
    WaitCursor cursor(Ui());
    read = ReadCartBackup(controller, backup, failure);
  }
  if (!read) {
    Ui().MessageBox("The cart could not be read: " + failure + "\nNo backup was written.");
    return;
  }
  const std::string refusal = UnrestorableValue(backup);
  if (!refusal.empty()) {
    Ui().MessageBox(refusal);
    return;
  }
  const std::string path =
      Ui().FileDialog(BackupFileDialog(FileDialogRequest::Kind::Save, SuggestedName(backup)));
  if (path.empty()) return;
  if (!WriteBackupFile(path, backup)) {
    Ui().MessageBox("Could not write " + path + ".");
    return;
  }
  Ui().MessageBox("Cart backed up to " + path + ": its settings and " +
                  std::to_string(backup.pins.size()) + " PIN(s).");
}

bool BackupMenu::RestoreCart() {
  if (!PortFree()) return false;
  const std::string path = Ui().FileDialog(BackupFileDialog(FileDialogRequest::Kind::Open, {}));
  if (path.empty()) return false;
  CartBackup backup;
  std::string failure;
  if (!ReadBackupFile(path, backup, failure)) {
    Ui().MessageBox(failure + "\nNothing was sent.");
    return false;
  }
  CartRestore restore(controller, backup);
  bool previewed = false;
  {
    WaitCursor cursor(Ui());
    previewed = restore.Preview();
  }
  if (!previewed) {
    Ui().MessageBox("The cart could not be read: " + restore.Failure() + "\nNothing was sent.");
    return false;
  }
  if (restore.Changes().Empty()) {
    Ui().MessageBox("The cart already matches " + path + ": nothing to change.");
    return false;
  }
  if (!Ui().ConfirmChanges(kRestoreTitle, "Restoring " + path + " changes this on the cart:",
                           restore.Changes().Lines(), AddedPinNote(restore.Changes()))) {
    return false;
  }
  RestoreOutcome outcome;
  {
    WaitCursor cursor(Ui());
    outcome = restore.Apply();
  }
  Ui().MessageBox(outcome.message);
  return outcome.sent;
}

}  // namespace molvane
