#pragma once
#include <string>
#include <string_view>

#include "backup/cart_backup.h"

namespace molvane {

// A backup file: a header line naming the format and its version, then sections of
// `key = value` lines, the PINs as lines of a PIN list file, and an end line, so that a file
// cut short is never taken for a cart with fewer PINs. Blank lines and lines starting with '#'
// are for people.
inline constexpr const char* kBackupHeader = "Molvane cart backup version ";
inline constexpr int kBackupVersion = 1;
inline constexpr const char* kBackupEnd = "[end]";
// Far more than a full cart needs; a larger file is no backup.
inline constexpr std::size_t kMaxBackupFileBytes = 1 << 20;

// The whole file, every line ended with CR LF.
std::string FormatBackup(const CartBackup& backup);

// Why a backup was refused: the line (numbered from 1, 0 when the fault is the file's as a
// whole) and its text, and the reason.
struct BackupFileError {
  int lineNumber = 0;
  std::string line;
  std::string reason;
};
// "line 7 (\"name = Ward\"): ..." or the reason alone.
std::string BackupErrorText(const BackupFileError& error);

// False, with the first fault, for a file of another format or version, a malformed line, a
// value no cart could be sent, a setting missing, or a file that ends before its end line. The
// record is complete only when this returns true.
bool ParseBackup(std::string_view content, CartBackup& backup, BackupFileError& error);

// Written beside the target and renamed over it. False when it could not be written.
bool WriteBackupFile(const std::string& path, const CartBackup& backup);
// Read and parsed; false with a text that names the file and, for a bad line, the line.
bool ReadBackupFile(const std::string& path, CartBackup& backup, std::string& failure);

}  // namespace molvane
