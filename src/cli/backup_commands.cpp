// Cloning a cart: everything it lets us set into one file, and from the file back onto the same
// cart or its replacement, shown before it is sent and read back after.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "backup/backup_fields.h"
#include "backup/backup_file.h"
#include "backup/backup_read.h"
#include "backup/cart_restore.h"
#include "cli/cli_context.h"
#include "cli/json_output.h"
#include "cli/work_progress.h"

namespace molvanectl {
namespace {

using molvane::BackupField;
using molvane::CartBackup;

bool ReadCart(CliContext& context, CartBackup& backup) {
  const WorkProgress progress("Reading the cart");
  if (!Check(context, molvane::ReadCartBackup(context.controller, backup, progress.Get())))
    return false;
  const std::string refusal = molvane::UnrestorableValue(backup);
  if (refusal.empty()) return true;
  context.Fail(ErrorLine(refusal));
  return false;
}

nlohmann::json FieldValue(const BackupField& field, const CartBackup& backup) {
  const std::string text = field.text(backup);
  switch (field.kind) {
    case BackupField::Kind::Number:
    case BackupField::Kind::Tenths:
      return nlohmann::json::parse(text);
    case BackupField::Kind::Quoted:
      return text.substr(1, text.size() - 2);
    case BackupField::Kind::Text:
      break;
  }
  return text;
}

// The record with the file's sections as objects and its keys; PINs with their activation time
// in seconds since 1970 (UTC).
nlohmann::json BackupDocument(const CartBackup& backup) {
  nlohmann::json document = {{"format", "Molvane cart backup"},
                             {"version", molvane::kBackupVersion}};
  for (const BackupField& field : molvane::BackupFields())
    document[field.section][field.key] = FieldValue(field, backup);
  nlohmann::json pins = nlohmann::json::array();
  for (const molvane::PinEntry& entry : backup.pins)
    pins.push_back({{"pin", entry.pin}, {"activation_time", entry.activationTime}});
  document[molvane::kPinSection] = pins;
  return document;
}

// The file's text as lines of this terminal.
void PrintRecord(const CartBackup& backup) {
  std::string text = molvane::FormatBackup(backup);
  std::erase(text, '\r');
  std::fwrite(text.data(), 1, text.size(), stdout);
}

// The backup printed, or written to its file and said so.
void Deliver(CliContext& context, const std::string& path, bool dryRun, const CartBackup& backup) {
  if (dryRun) {
    if (context.json) {
      PrintJson(BackupDocument(backup));
    } else {
      PrintRecord(backup);
    }
    return;
  }
  if (!molvane::WriteBackupFile(path, backup)) {
    context.Fail("Error: could not write " + path);
    context.fleet.WorkDone(context, molvane::CartWork::Kind::Backup, {}, path, false,
                           "Error: could not write " + path);
    return;
  }
  context.fleet.WorkDone(context, molvane::CartWork::Kind::Backup, {}, path, true,
                         "Backup written.");
  if (context.json) {
    nlohmann::json document = BackupDocument(backup);
    document["file"] = path;
    PrintJson(document);
    return;
  }
  std::printf("Backup of cart \"%s\" written to %s: its settings and %zu PIN(s).\n",
              backup.name.c_str(), path.c_str(), backup.pins.size());
}

void Backup(CliContext& context, const std::string& path, bool dryRun) {
  if (!dryRun && path.empty()) {
    context.Fail("Error: name the backup FILE to write, or give --dry-run");
    return;
  }
  CartBackup backup;
  if (!context.Connect() || !ReadCart(context, backup)) return;
  context.fleet.PinsRead(context, backup.pins);
  Deliver(context, path, dryRun, backup);
  // The visit keeps the log's trail too, once the backup itself is done.
  context.fleet.ArchiveCartLog(context);
}

void PrintPreview(const std::string& path, const molvane::BackupDifference& changes) {
  if (changes.Empty()) {
    std::printf("The cart already matches %s: nothing to change.\n", path.c_str());
    return;
  }
  const std::vector<std::string> lines = changes.Lines();
  std::printf("Restoring %s changes %zu item(s) on the cart:\n", path.c_str(), lines.size());
  std::printf("(the cart as it is now is saved beside the file first, to undo the restore)\n");
  for (const std::string& line : lines) std::printf("  %s\n", line.c_str());
  const std::string note = molvane::PreviewNote(changes);
  if (!note.empty()) std::printf("%s\n", note.c_str());
}

// The operator's yes on a terminal. Without one, a script must say --yes: a restore replaces
// the cart's settings and PINs. With --json the question would spoil the document.
bool Confirmed(CliContext& context) {
  if (context.json) {
    context.Fail("Error: nothing was sent: with --json, give --yes (or --dry-run)");
    return false;
  }
  if (::isatty(::fileno(stdin)) == 0) {
    context.Fail("Error: nothing was sent: give --yes to restore without a terminal to ask on");
    return false;
  }
  std::printf("Apply these changes to the cart? [y/N] ");
  std::fflush(stdout);
  char answer[16] = {};
  if (std::fgets(answer, sizeof answer, stdin) != nullptr && (answer[0] == 'y' || answer[0] == 'Y'))
    return true;
  context.Fail("Restore cancelled: nothing was sent.");
  return false;
}

struct RestoreArguments {
  std::string path;
  bool yes = false;
  bool dryRun = false;
};

nlohmann::json RestoreDocument(const RestoreArguments& a,
                               const molvane::BackupDifference& changes) {
  return {{"file", a.path}, {"changes", changes.Lines()}, {"dry_run", a.dryRun}};
}

// What was sent, as the text output or as the document; a restore that stopped or did not read
// back as the backup is a failure, named on stderr.
void PrintOutcome(CliContext& context, nlohmann::json document,
                  const molvane::RestoreOutcome& outcome) {
  const bool ok = outcome.verified;
  if (context.json) {
    if (outcome.sent) {
      document["undo_file"] = outcome.undoFile;
      document["applied"] = outcome.applied;
      document["partly_applied"] = outcome.partlyApplied;
      document["not_confirmed"] = outcome.notConfirmed;
      document["not_applied"] = outcome.notApplied;
      document["not_taken"] = outcome.notTaken;
      document["read_back"] = outcome.readBack;
    }
    document["verified"] = ok;
    if (!ok) document["error"] = ErrorLine(outcome.summary);
    PrintJson(document);
  } else {
    if (ok) std::printf("%s\n", outcome.summary.c_str());
    for (const std::string& line : outcome.Details()) std::printf("%s\n", line.c_str());
  }
  if (ok) return;
  std::fprintf(stderr, "%s\n", ErrorLine(outcome.summary).c_str());
  context.exitCode = 1;
}

void Restore(CliContext& context, const RestoreArguments& a) {
  CartBackup backup;
  std::string failure;
  if (!molvane::ReadBackupFile(a.path, backup, failure)) {
    context.Fail(ErrorLine(failure + " Nothing was sent."));
    return;
  }
  if (!context.Connect()) return;
  molvane::CartRestore restore(context.controller, backup);
  bool previewed = false;
  {
    const WorkProgress reading("Reading the cart");
    previewed = restore.Preview(reading.Get());
  }
  if (!previewed) {
    context.Fail(ErrorLine(restore.Failure()));
    return;
  }
  const nlohmann::json document = RestoreDocument(a, restore.Changes());
  if (!context.json) PrintPreview(a.path, restore.Changes());
  if (restore.Changes().Empty() || a.dryRun) {
    if (context.json) {
      PrintJson(document);
    } else if (a.dryRun && !restore.Changes().Empty()) {
      std::printf("Dry run: nothing was sent.\n");
    }
    return;
  }
  if (!a.yes && !Confirmed(context)) return;
  molvane::RestoreOutcome outcome;
  {
    const WorkProgress sending("Restoring");
    // A lost answer gives the port up; the cart is probed again as at the start, so that it can
    // be read back to tell whether the command was carried out.
    const molvane::ReachCartAgain reachAgain = [&context](molvane::CartController& controller) {
      if (context.port.empty()) return controller.ConnectFirstCart();
      return controller.ConnectPort(context.port) == molvane::CartController::ProbeResult::Cart;
    };
    outcome = restore.Apply(a.path, sending.Get(), reachAgain);
  }
  PrintOutcome(context, document, outcome);
  if (outcome.sent) {
    context.fleet.WorkDone(context, molvane::CartWork::Kind::Restore, {}, a.path, outcome.verified,
                           outcome.summary);
  }
}

const Registration registration([](CLI::App& app, CliContext& context) {
  static std::string backupPath;
  static bool backupDryRun = false;
  auto* backup = OfferJson(
      context,
      app.add_subcommand(
          "backup", "Write everything the cart lets us set (and its versions) to a backup file"),
      R"({"format", "version", one object per section of the file with its keys,)"
      R"( "pins": [{"pin", "activation_time"}]; with FILE also "file"})");
  backup->add_option("FILE", backupPath, "Backup file to write (a versioned text file)");
  backup->add_flag("--dry-run", backupDryRun,
                   "Print what would be written instead of writing it (with --json: as JSON)");
  backup->callback([&context] { Backup(context, backupPath, backupDryRun); });

  static RestoreArguments restoreArguments;
  auto* restore = OfferJson(
      context,
      app.add_subcommand("restore",
                         "Show what a backup file changes on the cart, save the cart as it is "
                         "beside the file, then apply the changes and read them back"),
      R"({"file", "changes": [lines], "dry_run"; once sent also "verified", "undo_file",)"
      R"( "applied", "partly_applied", "not_confirmed", "not_applied", "not_taken" (lines),)"
      R"( "read_back"; "error" when it failed})");
  restore->add_option("FILE", restoreArguments.path, "Backup file written by 'backup'")->required();
  restore->add_flag("--yes", restoreArguments.yes, "Apply without asking");
  restore->add_flag("--dry-run", restoreArguments.dryRun, "Only show what would change");
  restore->callback([&context] { Restore(context, restoreArguments); });
});

}  // namespace
}  // namespace molvanectl
