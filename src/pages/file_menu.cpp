#include "pages/file_menu.h"

#include <cctype>
#include <memory>
#include <string>
#include <utility>

#include "app/cart_controller.h"
#include "app/cart_thread.h"
#include "backup/backup_difference.h"
#include "backup/backup_fields.h"
#include "backup/backup_file.h"
#include "backup/backup_read.h"
#include "backup/cart_restore.h"
#include "backup/support_report.h"
#include "base/file_content.h"
#include "pages/fleet_recorder.h"
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

// A lost answer gives the link up; in the window the port scanner finds the cart again when it
// answers, and the restore waits for that as long as a scan pass and a probe take, so that it
// can read back what the cart holds.
bool WaitForTheScanner(CartController& controller) {
  constexpr int kSliceMs = 100;
  const Timing& timing = controller.GetTiming();
  const int boundMs = 2 * timing.scanIntervalMs + timing.probeLineMs + timing.probeRestMs;
  for (int waited = 0; controller.CurrentPort() < 0; waited += kSliceMs) {
    if (waited >= boundMs || !controller.Pause(kSliceMs)) return false;
  }
  return true;
}

// The summary, then what to read first; the lists, which may run to hundreds of lines, scroll
// below.
void ShowRestoreOutcome(UiServices& ui, const RestoreOutcome& outcome) {
  std::string text = outcome.summary;
  for (const std::string& note : outcome.Notes()) text += "\n" + note;
  const std::vector<std::string> lists = outcome.Lists();
  if (lists.empty()) {
    ui.MessageBox(text);
  } else {
    ui.ShowResult(FileMenu::kRestoreTitle, text, lists);
  }
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
  if (!Link().IsBusy()) return true;
  ui.ShowError(texts::kTransferRunning);
  return false;
}

// The cart is read before the file is asked for, so that nothing is asked of the operator when
// there is nothing to write.
void FileMenu::BackUpCart() {
  if (!PortFree()) return;
  OnCart(
      [](CartController& c) {
        Result<CartBackup> backup;
        backup.outcome = ReadCartBackup(c, backup.value, JobProgress());
        return backup;
      },
      [this](const Result<CartBackup>& backup) {
        if (!backup) {
          ui.ShowError("The cart could not be read: " + backup.outcome.text +
                       "\nNo backup was written.");
          return;
        }
        if (const std::string refusal = UnrestorableValue(backup.value); !refusal.empty()) {
          ui.ShowError(refusal);
          return;
        }
        const std::string path = ui.FileDialog(
            BackupFileDialog(FileDialogRequest::Kind::Save, SuggestedName(backup.value)));
        if (path.empty()) return;
        if (!WriteBackupFile(path, backup.value)) {
          const std::string failure = "Could not write " + path + ".";
          ui.ShowError(failure);
          RecordBackup(path, backup.value, Outcome::Failure(failure));
          return;
        }
        const std::string written = "Cart backed up to " + path + ": its settings and " +
                                    std::to_string(backup.value.pins.size()) + " PIN(s).";
        ui.MessageBox(written);
        RecordBackup(path, backup.value, Outcome::Success(written));
      },
      {.title = "Backing up the cart", .waitCursor = true});
}

// The fleet record keeps the backup, the PIN list it read and the log's trail, once the file is
// written or refused; the cart is read for it only with a store in use.
void FileMenu::RecordBackup(const std::string& path, const CartBackup& backup,
                            const Outcome& written) {
  OnCart(
      [fleet = Fleet(), path, pins = backup.pins, written](CartController& c) {
        fleet->PinsRead(pins);
        fleet->Finish(c);
        fleet->WorkDone(c, CartWork::Kind::Backup, {}, path, written.ok, written.text);
        if (written) fleet->ArchiveCartLog(c, JobProgress());
        return fleet->TakeWarning();
      },
      [this](const std::string& warning) { TellFleet(warning); },
      {.title = "Reading the log for the fleet record"});
}

void FileMenu::RestoreCart(std::function<void()> changed) {
  if (!PortFree()) return;
  const std::string path = ui.FileDialog(BackupFileDialog(FileDialogRequest::Kind::Open, {}));
  if (path.empty()) return;
  CartBackup backup;
  std::string failure;
  if (!ReadBackupFile(path, backup, failure)) {
    ui.ShowError(failure + "\nNothing was sent.");
    return;
  }
  // The restore goes from the cart thread (its preview) to here (the operator's say) and back
  // (the changes), one step after the other.
  OnCart(
      [backup](CartController& c) {
        auto restore = std::make_shared<CartRestore>(c, backup);
        const bool previewed = restore->Preview(JobProgress());
        return std::pair{restore, previewed};
      },
      [this, path, changed](const std::pair<std::shared_ptr<CartRestore>, bool>& preview) {
        const CartRestore& restore = *preview.first;
        if (!preview.second) {
          ui.ShowError("The cart could not be read: " + restore.Failure() + "\nNothing was sent.");
          return;
        }
        if (restore.Changes().Empty()) {
          ui.MessageBox("The cart already matches " + path + ": nothing to change.");
          return;
        }
        if (!ui.ConfirmChanges(kRestoreTitle, "Restoring " + path + " changes this on the cart:",
                               restore.Changes().Lines(), PreviewNote(restore.Changes()))) {
          return;
        }
        OnCart(
            [restore = preview.first, path, fleet = Fleet()](CartController& c) {
              std::pair<RestoreOutcome, std::string> done;
              done.first = restore->Apply(path, JobProgress(), WaitForTheScanner);
              const RestoreOutcome& outcome = done.first;
              if (outcome.sent) {
                fleet->WorkDone(c, CartWork::Kind::Restore, {}, path, outcome.verified,
                                outcome.summary);
              }
              done.second = fleet->TakeWarning();
              return done;
            },
            [this, changed](const std::pair<RestoreOutcome, std::string>& done) {
              const RestoreOutcome& outcome = done.first;
              ShowRestoreOutcome(ui, outcome);
              TellFleet(done.second);
              if (outcome.sent && changed) changed();
            },
            {.title = "Restoring the cart", .waitCursor = true});
      },
      {.title = "Reading the cart", .waitCursor = true});
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
  OnCart(
      [](CartController& c) {
        const SupportReport assembled(c, false);
        return assembled.Compose(c, JobProgress());
      },
      [this, path](const Result<SupportReportText>& report) {
        if (!report) {
          ui.ShowError("The support report was not written: " + report.outcome.text);
          return;
        }
        if (!ReplaceFileContent(path, report.value.text)) {
          ui.ShowError(kSupportReportNotSaved + path + ".");
          return;
        }
        // Saved, but without what the cart could not give: the operator hears it as a failure.
        const std::string saved = SupportReportSavedText(path, report.value.cartRead);
        if (report.value.cartRead) {
          ui.MessageBox(saved);
        } else {
          ui.ShowError(saved);
        }
      },
      {.title = "Writing the support report", .waitCursor = true});
}

}  // namespace molvane
