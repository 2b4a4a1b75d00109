#pragma once
#include <functional>
#include <string>
#include <vector>

#include "app/outcome.h"
#include "backup/cart_backup.h"

namespace molvane {

class CartController;

// One step of a restore: the preview's lines it carries out and the commands that do it. A
// failure stops the restore before the next step; a step of several commands (the badge
// format's mask, bits and facility code) then counts as not applied as a whole.
struct RestoreStep {
  std::vector<std::string> lines;
  std::function<Outcome(CartController&)> send;
  // False for the adding half of a PIN exchanged in a full cart: a cancel waits for it, so that
  // the cart is never left one PIN short by a cancel.
  bool mayStopBefore = true;
};

// The steps that turn `cart`, as just read from the connected cart, into `backup`. Settings come
// first (the PIN length among them, before any PIN). Then the backup's PINs are added while the
// cart has room, and only then are the cart's other PINs removed, so that a restore cut short
// leaves the cart at least its old PINs until the last add and at least the backup's after it.
// A cart too full for that exchanges them one for one, each removal followed by its add, before
// the remaining removals. Every line of the preview is in exactly one step.
std::vector<RestoreStep> PlanRestore(const CartBackup& cart, const CartBackup& backup);

}  // namespace molvane
