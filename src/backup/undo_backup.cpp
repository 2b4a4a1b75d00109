#include "backup/undo_backup.h"

#include <cstdio>
#include <filesystem>

#include "backup/backup_fields.h"
#include "backup/backup_file.h"
#include "base/cart_time.h"
#include "base/clock.h"
#include "base/regular_file.h"

namespace molvane {
namespace {

// Restores of one backup within one second take "-2", "-3"...; past this many none is taken.
constexpr int kMaxSameSecond = 100;

std::string Stamp(std::int64_t now) {
  const LocalFields t = ToLocalFields(now);
  char text[32];
  std::snprintf(text, sizeof text, "%04d%02d%02d-%02d%02d%02d", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  return text;
}

}  // namespace

std::string UndoBackupName(const std::string& backupPath, std::int64_t now, int attempt) {
  const std::filesystem::path backup(backupPath);
  const std::string extension = backup.has_extension() ? backup.extension().string() : ".txt";
  const std::filesystem::path stem = backup.parent_path() / backup.stem();
  const std::string base = stem.string() + ".before-restore-" + Stamp(now);
  return attempt < 2 ? base + extension : base + "-" + std::to_string(attempt) + extension;
}

Result<std::string> SaveUndoBackup(const std::string& backupPath, const CartBackup& cart) {
  Result<std::string> saved;
  const std::string refusal = UnrestorableValue(cart);
  if (!refusal.empty()) {
    saved.outcome = Outcome::Failure(refusal);
    return saved;
  }
  const std::string content = FormatBackup(cart);
  const std::int64_t now = Now();
  for (int attempt = 1; attempt <= kMaxSameSecond; ++attempt) {
    saved.value = UndoBackupName(backupPath, now, attempt);
    const CreateResult made = CreateNewFile(saved.value, content);
    if (made == CreateResult::Created) return saved;
    if (made == CreateResult::Failed) break;
  }
  saved.outcome = Outcome::Failure("The cart as it is now could not be saved to " + saved.value +
                                   " (beside the backup), so a restore could not be undone.");
  return saved;
}

}  // namespace molvane
