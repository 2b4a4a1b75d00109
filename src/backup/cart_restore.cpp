#include "backup/cart_restore.h"

#include <algorithm>
#include <utility>

#include "app/cart_controller.h"
#include "cart/pin_list.h"
#include "base/clock.h"
#include "app/operation_scope.h"
#include "backup/backup_fields.h"
#include "backup/backup_read.h"

namespace molvane {
namespace {

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += "\n" + line;
  return text;
}

}  // namespace

void ApplyBackup(CartController& controller, const CartBackup& cart, const CartBackup& backup) {
  std::vector<Outcome (*)(CartController&, const CartBackup&)> sent;
  for (const BackupField& field : BackupFields()) {
    if (!FieldDiffers(field, cart, backup)) continue;
    if (std::find(sent.begin(), sent.end(), field.send) != sent.end()) continue;
    field.send(controller, backup);
    sent.push_back(field.send);
  }
  const BackupDifference difference = CompareWithBackup(cart, backup);
  for (const std::uint32_t pin : difference.pinsRemoved) RemovePin(controller, std::to_string(pin));
  for (const std::uint32_t pin : difference.pinsAdded) AddPin(controller, std::to_string(pin), Now());
}

CartRestore::CartRestore(CartController& controller, CartBackup backup)
    : controller(controller), backup(std::move(backup)) {}

bool CartRestore::Preview() {
  CartBackup cart;
  if (Outcome read = ReadCartBackup(controller, cart); !read) {
    failure = read.text;
    return false;
  }
  changes = CompareWithBackup(cart, backup);
  return true;
}

RestoreOutcome CartRestore::Apply() {
  RestoreOutcome outcome;
  CartBackup cart;
  if (Outcome read = ReadCartBackup(controller, cart); !read) {
    outcome.message = "The cart could not be read: " + read.text + "\nNothing was sent.";
    return outcome;
  }
  if (CompareWithBackup(cart, backup).Lines() != changes.Lines()) {
    outcome.message = "The cart no longer holds what the preview showed. Nothing was sent.";
    return outcome;
  }
  std::string sendFailure;
  {
    OperationScope send(controller);
    ApplyBackup(controller, cart, backup);
    sendFailure = send.Failure();
  }
  outcome.sent = true;
  CartBackup after;
  if (Outcome read = ReadCartBackup(controller, after); !read) {
    outcome.message =
        "The restore could not be verified: the cart could not be read back (" + read.text + ").";
    return outcome;
  }
  outcome.notTaken = CompareWithBackup(after, backup).Lines();
  outcome.verified = outcome.notTaken.empty();
  if (outcome.verified) {
    outcome.message = "Restore complete: every setting and PIN read back matches the backup.";
  } else {
    outcome.message =
        "The restore did not take everything. Still different:" + Joined(outcome.notTaken) +
        (sendFailure.empty() ? "" : "\nThe cart answered: " + sendFailure);
  }
  return outcome;
}

}  // namespace molvane
