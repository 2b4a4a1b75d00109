#pragma once
#include <functional>
#include <string>
#include <vector>

#include "app/outcome.h"
#include "backup/cart_backup.h"

namespace molvane {

class CartController;

// One command of a restore: the preview's line it carries out, the cart's command word for it,
// how it is sent, and whether a cart, as read back afterwards, holds the change.
struct RestoreCommand {
  std::string line;
  std::string command;
  std::function<Outcome(CartController&)> send;
  std::function<bool(const CartBackup& cart)> holds;
};

// One step of a restore: a setting or a PIN. A setting the cart takes in several commands (the
// lock times, the badge format) is one step of several commands, sent as far as the cart takes
// them: the first failure stops the restore there, inside the step or between two.
struct RestoreStep {
  std::vector<RestoreCommand> commands;
  // False for the adding half of a PIN exchanged in a full cart: a cancel waits for it, so that
  // the cart is never left one PIN short by a cancel. A cancel never splits a step either.
  bool mayStopBefore = true;
};

// The steps that turn `cart`, as just read from the connected cart, into `backup`. Settings come
// first (the PIN length among them, before any PIN); only the fields that differ are sent. Then
// the backup's PINs are added while the cart has room, and only then are the cart's other PINs
// removed, so that a restore cut short leaves the cart at least its old PINs until the last add
// and at least the backup's after it. When the two lists together do not fit in the cart, the
// PINs past its room are exchanged one for one, each removal followed by its add, before the
// remaining removals: a cut among those leaves neither list whole (see PinExchangeWarning).
// Every line of the preview is in exactly one command.
std::vector<RestoreStep> PlanRestore(const CartBackup& cart, const CartBackup& backup);

}  // namespace molvane
