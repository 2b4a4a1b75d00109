#pragma once
#include <string>
#include <vector>

#include "backup/restore_plan.h"

namespace molvane {

// What a restore did. After a failure every line of the preview is in exactly one of the four
// lists: applied, partly applied (a setting of several commands that went through in part, each
// of its lines with how it ended and its command), sent but not confirmed (its answer was lost
// and the cart could not be read back) or not applied. When the cart could be read back after
// the failure, the lists say what it holds.
struct RestoreOutcome {
  bool sent = false;      // commands that change the cart went to it
  bool verified = false;  // everything read back matches the backup
  // The cart as it was before, saved beside the backup; empty when the restore stopped before
  // anything could be sent.
  std::string undoFile;
  std::vector<std::string> applied;  // in the order sent
  std::vector<std::string> partlyApplied;
  std::vector<std::string> notConfirmed;
  std::vector<std::string> notApplied;
  std::vector<std::string> notTaken;  // differences read back after a restore that went through
  std::string failure;                // what stopped it, in the failure's own words
  bool readBack = false;              // after a failure, the cart was read to fill the lists
  std::string readBackFailure;        // why it could not be, when it was tried
  std::string summary;                // one line for the operator, whatever happened

  // What to read first below the summary: where the undo file is and how far the lists can be
  // trusted. Empty when nothing could be sent.
  std::vector<std::string> Notes() const;
  // The lists, each under its heading, one line each; empty when there is no list to show.
  std::vector<std::string> Lists() const;
  // The notes, then the lists.
  std::vector<std::string> Details() const;
  // The summary and the details, for a message box.
  std::string Message() const;
};

// How one command of a restore ended, as far as is known.
enum class ChangeEnd { Applied, NotApplied, NotConfirmed };

// Puts each command's line in the list its end says, `ends` holding one end per command of each
// step; a step whose commands ended differently is partly applied.
void ListChanges(const std::vector<RestoreStep>& steps,
                 const std::vector<std::vector<ChangeEnd>>& ends, RestoreOutcome& outcome);

}  // namespace molvane
