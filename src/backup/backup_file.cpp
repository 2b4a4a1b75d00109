#include "backup/backup_file.h"

#include <cstdio>

#include "backup/backup_fields.h"
#include "base/cart_time.h"
#include "base/clock.h"
#include "base/file_content.h"
#include "base/printable_text.h"
#include "cart/pin_list_file.h"

namespace molvane {
namespace {

std::string Line(const std::string& text) { return text + kFileLineEnd; }

std::string Preamble(const CartBackup& backup) {
  return Line(kBackupHeader + std::to_string(kBackupVersion)) +
         Line("# Cart \"" + backup.name + "\", serial number \"" + backup.serialNumber +
              "\", read on " + LocalTimeText(Now()) + ".") +
         Line("# A restore sends every section but [record_only]. The cart stamps each PIN it") +
         Line("# adds with its own clock: the activation times below are not restored.");
}

std::string SettingsSection(const CartBackup& backup, const std::string& section) {
  std::string text = Line("") + Line("[" + section + "]");
  for (const BackupField& field : BackupFields()) {
    if (field.section == section) text += Line(std::string(field.key) + " = " + field.text(backup));
  }
  return text;
}

std::string PinSection(const CartBackup& backup) {
  std::string text = Line("") + Line(std::string("[") + kPinSection + "]") +
                     Line("# PIN, then its activation: year, month, day, hour, minute, second.");
  for (const PinEntry& entry : backup.pins) text += PinFileRecord(entry);
  return text;
}

}  // namespace

std::string FormatBackup(const CartBackup& backup) {
  std::string text = Preamble(backup);
  for (const char* section : BackupSections()) {
    text +=
        std::string(section) == kPinSection ? PinSection(backup) : SettingsSection(backup, section);
  }
  return text + Line("") + Line(kBackupEnd);
}

std::string BackupErrorText(const BackupFileError& error) {
  if (error.lineNumber <= 0) return error.reason;
  // Enough to find the line, shown so that nothing in it drives a terminal or cuts the message
  // short; a binary file's first "line" may be very long.
  constexpr std::size_t kShownLength = 80;
  return "line " + std::to_string(error.lineNumber) + " (\"" +
         PrintableText(error.line, kShownLength) + "\"): " + error.reason;
}

bool WriteBackupFile(const std::string& path, const CartBackup& backup) {
  return ReplaceFileContent(path, FormatBackup(backup));
}

bool ReadBackupFile(const std::string& path, CartBackup& backup, std::string& failure) {
  std::string content;
  switch (ReadFileContent(path, content, kMaxBackupFileBytes)) {
    case ReadResult::Ok:
      break;
    case ReadResult::TooLarge:
      failure = path + " is too large to be a cart backup.";
      return false;
    case ReadResult::NotRegular:
      failure = path + " " + FileFaultText(FileFault::NotRegular) + ": no cart backup.";
      return false;
    default:
      failure = "Could not open " + path + ".";
      return false;
  }
  BackupFileError error;
  if (ParseBackup(content, backup, error)) return true;
  failure = "The backup " + path + " is refused: " + BackupErrorText(error) + ".";
  return false;
}

}  // namespace molvane
