#include "backup/cart_restore.h"

#include <utility>

#include "app/link_texts.h"
#include "backup/backup_read.h"
#include "backup/restore_plan.h"
#include "backup/undo_backup.h"

namespace molvane {
namespace {

void AddList(const char* title, const std::vector<std::string>& lines,
             std::vector<std::string>& details) {
  details.push_back(title);
  if (lines.empty()) details.push_back("  (nothing)");
  for (const std::string& line : lines) details.push_back("  " + line);
}

// Sends the steps in order until one fails or a cancel comes between two of them.
void SendSteps(CartController& controller, const std::vector<RestoreStep>& steps,
               const Progress& progress, RestoreOutcome& outcome) {
  const int total = static_cast<int>(steps.size());
  for (int i = 0; i < total; ++i) {
    const RestoreStep& step = steps[static_cast<std::size_t>(i)];
    if (outcome.failure.empty() && step.mayStopBefore && progress.Cancelled())
      outcome.failure = texts::kCancelled;
    if (outcome.failure.empty()) {
      outcome.sent = true;
      const Outcome sent = step.send(controller);
      if (sent) {
        outcome.applied.insert(outcome.applied.end(), step.lines.begin(), step.lines.end());
        progress.Report(i + 1, total);
        continue;
      }
      outcome.failure = sent.text;
    }
    outcome.notApplied.insert(outcome.notApplied.end(), step.lines.begin(), step.lines.end());
  }
}

// A failure to read comes before anything is sent.
RestoreOutcome NothingSent(const std::string& summary) {
  RestoreOutcome outcome;
  outcome.summary = summary;
  return outcome;
}

}  // namespace

std::vector<std::string> RestoreOutcome::Details() const {
  std::vector<std::string> details;
  if (undoFile.empty()) return details;
  if (!failure.empty()) {
    AddList("Applied:", applied, details);
    AddList("Not applied:", notApplied, details);
  } else if (!notTaken.empty()) {
    AddList("Still different:", notTaken, details);
  }
  details.push_back("The cart as it was before is saved in " + undoFile +
                    ": restore that file to undo this restore.");
  return details;
}

std::string RestoreOutcome::Message() const {
  std::string text = summary;
  for (const std::string& line : Details()) text += "\n" + line;
  return text;
}

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

RestoreOutcome CartRestore::Apply(const std::string& backupPath, const Progress& progress) {
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
  SendSteps(controller, PlanRestore(cart, backup), progress, outcome);
  if (!outcome.failure.empty()) {
    outcome.summary = "The restore stopped: " + outcome.failure;
    return outcome;
  }
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
