#include "backup/cart_restore.h"

#include <utility>

#include "app/cart_controller.h"
#include "app/link_texts.h"
#include "backup/backup_read.h"
#include "backup/restore_plan.h"
#include "backup/undo_backup.h"

namespace molvane {
namespace {

// A command that timed out, could not be written whole, met a line that closed or whose wait
// was cut short may still have reached the cart and been carried out; a refusal or a command
// never sent was not.
bool AnswerMayBeLost(const Outcome& sent) { return sent.answerLost; }

using Ends = std::vector<std::vector<ChangeEnd>>;

// Sends the steps in order until a command fails or a cancel comes between two steps. Returns
// how each command ended; the commands not sent are not applied.
Ends SendSteps(CartController& controller, const std::vector<RestoreStep>& steps,
               const Progress& progress, RestoreOutcome& outcome, std::string& stoppedAt) {
  Ends ends;
  const int total = static_cast<int>(steps.size());
  for (int i = 0; i < total; ++i) {
    const RestoreStep& step = steps[static_cast<std::size_t>(i)];
    ends.emplace_back(step.commands.size(), ChangeEnd::NotApplied);
    if (outcome.failure.empty() && step.mayStopBefore && progress.Cancelled())
      outcome.failure = texts::kCancelled;
    for (std::size_t j = 0; j < step.commands.size() && outcome.failure.empty(); ++j) {
      outcome.sent = true;
      const Outcome sent = step.commands[j].send(controller);
      if (sent) {
        ends.back()[j] = ChangeEnd::Applied;
        continue;
      }
      if (AnswerMayBeLost(sent)) ends.back()[j] = ChangeEnd::NotConfirmed;
      outcome.failure = sent.text;
      stoppedAt = step.commands[j].command;
    }
    if (outcome.failure.empty()) progress.Report(i + 1, total);
  }
  return ends;
}

// What the cart holds after a failure, change by change, read through a link that may first
// have to be found again. False, with the reason kept, when it cannot be read.
bool ReadBack(CartController& controller, const std::vector<RestoreStep>& steps,
              const ReachCartAgain& reachAgain, const Progress& cancelOnly, Ends& ends,
              RestoreOutcome& outcome) {
  if (controller.CurrentPort() < 0 && !(reachAgain && reachAgain(controller))) {
    outcome.readBackFailure = reachAgain ? "it did not answer again" : texts::kNoCart;
    return false;
  }
  CartBackup after;
  if (Outcome read = ReadCartBackup(controller, after, cancelOnly); !read) {
    outcome.readBackFailure = read.text;
    return false;
  }
  for (std::size_t i = 0; i < steps.size(); ++i) {
    for (std::size_t j = 0; j < steps[i].commands.size(); ++j)
      ends[i][j] = steps[i].commands[j].holds(after) ? ChangeEnd::Applied : ChangeEnd::NotApplied;
  }
  return true;
}

// A failure to read comes before anything is sent.
RestoreOutcome NothingSent(const std::string& summary) {
  RestoreOutcome outcome;
  outcome.summary = summary;
  return outcome;
}

}  // namespace

CartRestore::CartRestore(CartController& controller, CartBackup backup)
    : controller(controller), backup(std::move(backup)) {}

bool CartRestore::Preview(const Progress& progress) {
  CartBackup cart;
  if (Outcome read = ReadCartBackup(controller, cart, progress); !read) {
    failure = read.text;
    return false;
  }
  changes = CompareWithBackup(cart, backup);
  return true;
}

RestoreOutcome CartRestore::Apply(const std::string& backupPath, const Progress& progress,
                                  const ReachCartAgain& reachAgain) {
  // The reads only heed a cancel; what is reported is the sending.
  const Progress cancelOnly{{}, progress.cancel};
  CartBackup cart;
  if (Outcome read = ReadCartBackup(controller, cart, cancelOnly); !read)
    return NothingSent("The cart could not be read (" + read.text + "): nothing was sent.");
  if (CompareWithBackup(cart, backup).Lines() != changes.Lines())
    return NothingSent("The cart no longer holds what the preview showed. Nothing was sent.");
  const Result<std::string> undo = SaveUndoBackup(backupPath, cart);
  if (!undo) return NothingSent(undo.outcome.text + " Nothing was sent.");

  RestoreOutcome outcome;
  outcome.undoFile = undo.value;
  const std::vector<RestoreStep> steps = PlanRestore(cart, backup);
  std::string stoppedAt;
  Ends ends = SendSteps(controller, steps, progress, outcome, stoppedAt);
  if (!outcome.failure.empty()) {
    // A cancel comes between steps, so every command sent was answered: nothing to read back.
    if (!stoppedAt.empty())
      outcome.readBack = ReadBack(controller, steps, reachAgain, cancelOnly, ends, outcome);
    ListChanges(steps, ends, outcome);
    outcome.summary = "The restore stopped" + (stoppedAt.empty() ? "" : " at " + stoppedAt) + ": " +
                      outcome.failure;
    return outcome;
  }
  ListChanges(steps, ends, outcome);
  CartBackup after;
  if (Outcome read = ReadCartBackup(controller, after, cancelOnly); !read) {
    outcome.summary =
        "The restore could not be verified: the cart could not be read back (" + read.text + ").";
    return outcome;
  }
  outcome.notTaken = CompareWithBackup(after, backup).Lines();
  outcome.verified = outcome.notTaken.empty();
  outcome.summary = outcome.verified
                        ? "Restore complete: every setting and PIN read back matches the backup."
                        : "The restore did not take everything: the cart answered every command "
                          "but reads back otherwise.";
  return outcome;
}

}  // namespace molvane
