#pragma once
#include <cstdint>
#include <string>

#include "app/outcome.h"
#include "backup/cart_backup.h"

namespace molvane {

// Where a cart's settings and PINs are kept just before a restore replaces them, so that any
// restore can be undone by restoring this file: beside the backup being restored, named after
// it and the moment ("Cart 7.before-restore-20240518-143005.txt"), and never over a file that
// is there already.
std::string UndoBackupPath(const std::string& backupPath, std::int64_t now);

// Writes `cart`, as just read from the cart, there. The path written, or a failure that names
// why: a cart value no cart could be sent back, a folder that cannot be written.
Result<std::string> SaveUndoBackup(const std::string& backupPath, const CartBackup& cart);

}  // namespace molvane
