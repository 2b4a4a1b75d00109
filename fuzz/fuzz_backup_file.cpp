// A backup file mailed between technicians, read back before a restore. What is accepted must
// be a record that writes out and reads back to itself, with every value one a cart could be
// sent; what is refused must say why.
#include <string>
#include <string_view>

#include "backup/backup_fields.h"
#include "backup/backup_file.h"
#include "fuzz_support.h"

namespace {

bool SameRecord(const molvane::CartBackup& a, const molvane::CartBackup& b) {
  for (const molvane::BackupField& field : molvane::BackupFields())
    if (field.text(a) != field.text(b)) return false;
  if (a.pins.size() != b.pins.size()) return false;
  for (std::size_t i = 0; i < a.pins.size(); ++i) {
    if (a.pins[i].pin != b.pins[i].pin || a.pins[i].activationTime != b.pins[i].activationTime)
      return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view content(reinterpret_cast<const char*>(data), size);
  molvane::CartBackup backup;
  molvane::BackupFileError error;
  if (!molvane::ParseBackup(content, backup, error)) {
    fuzzing::Require(!error.reason.empty(), "a refusal without a reason");
    fuzzing::Require(!molvane::BackupErrorText(error).empty(), "a refusal without a text");
    return 0;
  }
  fuzzing::Require(molvane::UnrestorableValue(backup).empty(), "an accepted value no cart takes");
  molvane::CartBackup again;
  fuzzing::Require(molvane::ParseBackup(molvane::FormatBackup(backup), again, error),
                   "a written backup is refused");
  fuzzing::Require(SameRecord(backup, again), "a backup does not read back as written");
  return 0;
}
