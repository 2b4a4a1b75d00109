#include "backup/undo_backup.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "backup/backup_fields.h"
#include "backup/backup_file.h"
#include "base/cart_time.h"
#include "base/clock.h"

namespace molvane {
namespace {

// Two restores within one second get "-2", "-3"...; past this many the name is taken as is.
constexpr int kMaxSameSecond = 100;

std::string Stamp(std::int64_t now) {
  const LocalFields t = ToLocalFields(now);
  char text[32];
  std::snprintf(text, sizeof text, "%04d%02d%02d-%02d%02d%02d", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  return text;
}

}  // namespace

std::string UndoBackupPath(const std::string& backupPath, std::int64_t now) {
  const std::filesystem::path backup(backupPath);
  const std::string extension = backup.has_extension() ? backup.extension().string() : ".txt";
  const std::filesystem::path stem = backup.parent_path() / backup.stem();
  const std::string base = stem.string() + ".before-restore-" + Stamp(now);
  std::string path = base + extension;
  for (int n = 2; n <= kMaxSameSecond; ++n) {
    std::error_code error;
    if (!std::filesystem::exists(std::filesystem::symlink_status(path, error))) break;
    path = base + "-" + std::to_string(n) + extension;
  }
  return path;
}

Result<std::string> SaveUndoBackup(const std::string& backupPath, const CartBackup& cart) {
  Result<std::string> saved;
  const std::string refusal = UnrestorableValue(cart);
  if (!refusal.empty()) {
    saved.outcome = Outcome::Failure(refusal);
    return saved;
  }
  saved.value = UndoBackupPath(backupPath, Now());
  if (!WriteBackupFile(saved.value, cart))
    saved.outcome = Outcome::Failure("The cart as it is now could not be saved to " + saved.value +
                                     " (beside the backup), so a restore could not be undone.");
  return saved;
}

}  // namespace molvane
