#pragma once
#include <cstdint>
#include <string>

#include "app/outcome.h"
#include "backup/cart_backup.h"

namespace molvane {

// Where a cart's settings and PINs are kept just before a restore replaces them, so that any
// restore can be undone by restoring this file: beside the backup being restored, named after
// it and the moment ("Cart 7.before-restore-20240518-143005.txt"); the `attempt`th name for that
// moment, from 2 on, ends "-2", "-3"...
std::string UndoBackupName(const std::string& backupPath, std::int64_t now, int attempt);

// Writes `cart`, as just read from the cart, to the first of those names that is free, made
// there exclusively, so that restores of one backup at the same moment (several carts at once,
// from several programs) each get a file of their own and never write into another's; and has
// it on the disk before returning, so that the changes sent next can always be undone. The path
// written, or a failure that names why: a cart value no cart could be sent back, a folder that
// cannot be written.
Result<std::string> SaveUndoBackup(const std::string& backupPath, const CartBackup& cart);

}  // namespace molvane
