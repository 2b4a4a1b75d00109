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

namespace molvanectl {
namespace {

using molvane::BackupField;
using molvane::CartBackup;

bool ReadCart(CliContext& context, CartBackup& backup) {
  if (!Check(context, molvane::ReadCartBackup(context.controller, backup))) return false;
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

void Backup(CliContext& context, const std::string& path, bool dryRun) {
  if (!dryRun && path.empty()) {
    context.Fail("Error: name the backup FILE to write, or give --dry-run");
    return;
  }
  CartBackup backup;
  if (!context.Connect() || !ReadCart(context, backup)) return;
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
    return;
  }
  if (context.json) {
    nlohmann::json document = BackupDocument(backup);
    document["file"] = path;
    PrintJson(document);
    return;
  }
  std::printf("Backup of cart \"%s\" written to %s: its settings and %zu PIN(s).\n",
              backup.name.c_str(), path.c_str(), backup.pins.size());
}

void PrintPreview(const std::string& path, const molvane::BackupDifference& changes) {
  const std::vector<std::string> lines = changes.Lines();
  std::printf("Restoring %s changes %zu item(s) on the cart:\n", path.c_str(), lines.size());
  for (const std::string& line : lines) std::printf("  %s\n", line.c_str());
  const std::string note = molvane::AddedPinNote(changes);
  if (!note.empty()) std::printf("%s\n", note.c_str());
}

// The operator's yes on a terminal. Without one, a script must say --yes: a restore replaces
// the cart's settings and PINs.
bool Confirmed(CliContext& context) {
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

void Restore(CliContext& context, const RestoreArguments& a) {
  CartBackup backup;
  std::string failure;
  if (!molvane::ReadBackupFile(a.path, backup, failure)) {
    context.Fail(ErrorLine(failure + " Nothing was sent."));
    return;
  }
  if (!context.Connect()) return;
  molvane::CartRestore restore(context.controller, backup);
  if (!restore.Preview()) {
    context.Fail(ErrorLine(restore.Failure()));
    return;
  }
  if (restore.Changes().Empty()) {
    std::printf("The cart already matches %s: nothing to change.\n", a.path.c_str());
    return;
  }
  PrintPreview(a.path, restore.Changes());
  if (a.dryRun) {
    std::printf("Dry run: nothing was sent.\n");
    return;
  }
  if (!a.yes && !Confirmed(context)) return;
  const molvane::RestoreOutcome outcome = restore.Apply();
  if (!outcome.verified) {
    context.Fail(ErrorLine(outcome.message));
    return;
  }
  std::printf("%s\n", outcome.message.c_str());
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
  auto* restore = app.add_subcommand(
      "restore", "Show what a backup file changes on the cart, then apply it and read it back");
  restore->add_option("FILE", restoreArguments.path, "Backup file written by 'backup'")->required();
  restore->add_flag("--yes", restoreArguments.yes, "Apply without asking");
  restore->add_flag("--dry-run", restoreArguments.dryRun, "Only show what would change");
  restore->callback([&context] { Restore(context, restoreArguments); });
});

}  // namespace
}  // namespace molvanectl
