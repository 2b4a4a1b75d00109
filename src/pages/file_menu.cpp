#include "pages/file_menu.h"

#include <cctype>
#include <string>

#include "app/cart_controller.h"
#include "app/cart_thread.h"
#include "backup/backup_difference.h"
#include "backup/backup_fields.h"
#include "backup/backup_file.h"
#include "backup/backup_read.h"
#include "backup/cart_restore.h"
#include "backup/support_report.h"
#include "base/file_content.h"
#include "pages/ui_services.h"

namespace molvane {
namespace {

FileDialogRequest BackupFileDialog(FileDialogRequest::Kind kind, const std::string& initialName) {
  FileDialogRequest request;
  request.kind = kind;
  request.title =
      kind == FileDialogRequest::Kind::Save ? FileMenu::kBackUpTitle : FileMenu::kRestoreTitle;
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

bool FileMenu::PortFree() const {
  if (!controller.IsBusy()) return true;
  ui.MessageBox(texts::kTransferRunning);
  return false;
}

// The cart is read before the file is asked for, so that nothing is asked of the operator when
// there is nothing to write.
void FileMenu::BackUpCart() {
  if (!PortFree()) return;
  CartBackup backup;
  Outcome read;
  {
    WaitCursor cursor(ui);
    read = ReadCartBackup(controller, backup, JobProgress());
  }
  if (!read) {
    ui.MessageBox("The cart could not be read: " + read.text + "\nNo backup was written.");
    return;
  }
  const std::string refusal = UnrestorableValue(backup);
  if (!refusal.empty()) {
    ui.MessageBox(refusal);
    return;
  }
  const std::string path =
      ui.FileDialog(BackupFileDialog(FileDialogRequest::Kind::Save, SuggestedName(backup)));
  if (path.empty()) return;
  if (!WriteBackupFile(path, backup)) {
    ui.MessageBox("Could not write " + path + ".");
    return;
  }
  ui.MessageBox("Cart backed up to " + path + ": its settings and " +
                std::to_string(backup.pins.size()) + " PIN(s).");
}

bool FileMenu::RestoreCart() {
  if (!PortFree()) return false;
  const std::string path = ui.FileDialog(BackupFileDialog(FileDialogRequest::Kind::Open, {}));
  if (path.empty()) return false;
  CartBackup backup;
  std::string failure;
  if (!ReadBackupFile(path, backup, failure)) {
    ui.MessageBox(failure + "\nNothing was sent.");
    return false;
  }
  CartRestore restore(controller, backup);
  bool previewed = false;
  {
    WaitCursor cursor(ui);
    previewed = restore.Preview(JobProgress());
  }
  if (!previewed) {
    ui.MessageBox("The cart could not be read: " + restore.Failure() + "\nNothing was sent.");
    return false;
  }
  if (restore.Changes().Empty()) {
    ui.MessageBox("The cart already matches " + path + ": nothing to change.");
    return false;
  }
  if (!ui.ConfirmChanges(kRestoreTitle, "Restoring " + path + " changes this on the cart:",
                         restore.Changes().Lines(), AddedPinNote(restore.Changes()))) {
    return false;
  }
  RestoreOutcome outcome;
  {
    WaitCursor cursor(ui);
    outcome = restore.Apply(path, JobProgress());
  }
  ui.MessageBox(outcome.Message());
  return outcome.sent;
}

void FileMenu::SaveSupportReport() {
  FileDialogRequest request;
  request.kind = FileDialogRequest::Kind::Save;
  request.title = kSupportReportTitle;
  request.types = {{"Text Files (*.txt)", "*.txt"}, {"All Files (*.*)", "*.*"}};
  request.initialName = "molvane-report.txt";
  request.defaultExtension = "txt";
  request.askBeforeOverwrite = true;
  const std::string path = ui.FileDialog(request);
  if (path.empty()) return;
  Result<std::string> report;
  {
    WaitCursor cursor(ui);
    const SupportReport assembled(controller, false);
    report = assembled.Compose(controller, JobProgress());
  }
  if (!report) {
    ui.MessageBox("The support report was not written: " + report.outcome.text);
    return;
  }
  ui.MessageBox(ReplaceFileContent(path, report.value) ? kSupportReportSaved + path + "."
                                                       : kSupportReportNotSaved + path + ".");
}

}  // namespace molvane
