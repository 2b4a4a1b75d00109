#include "backup/restore_outcome.h"

#include <algorithm>

namespace molvane {
namespace {

void AddList(const char* title, const std::vector<std::string>& lines,
             std::vector<std::string>& details) {
  details.push_back(title);
  if (lines.empty()) details.push_back("  (nothing)");
  for (const std::string& line : lines) details.push_back("  " + line);
}

const char* EndText(ChangeEnd end) {
  switch (end) {
    case ChangeEnd::Applied:
      return "applied";
    case ChangeEnd::NotConfirmed:
      return "sent but not confirmed";
    case ChangeEnd::NotApplied:
      break;
  }
  return "not applied";
}

std::vector<std::string>& ListOf(ChangeEnd end, RestoreOutcome& outcome) {
  switch (end) {
    case ChangeEnd::Applied:
      return outcome.applied;
    case ChangeEnd::NotConfirmed:
      return outcome.notConfirmed;
    case ChangeEnd::NotApplied:
      break;
  }
  return outcome.notApplied;
}

}  // namespace

void ListChanges(const std::vector<RestoreStep>& steps,
                 const std::vector<std::vector<ChangeEnd>>& ends, RestoreOutcome& outcome) {
  for (std::size_t i = 0; i < steps.size() && i < ends.size(); ++i) {
    const std::vector<RestoreCommand>& commands = steps[i].commands;
    const std::vector<ChangeEnd>& ended = ends[i];
    if (ended.empty()) continue;
    const bool whole = std::all_of(ended.begin(), ended.end(),
                                   [&ended](ChangeEnd end) { return end == ended.front(); });
    for (std::size_t j = 0; j < commands.size() && j < ended.size(); ++j) {
      if (whole) {
        ListOf(ended[j], outcome).push_back(commands[j].line);
      } else {
        outcome.partlyApplied.push_back(commands[j].line + " (" + commands[j].command + ": " +
                                        EndText(ended[j]) + ")");
      }
    }
  }
}

std::vector<std::string> RestoreOutcome::Notes() const {
  std::vector<std::string> notes;
  if (undoFile.empty()) return notes;
  notes.push_back("The cart as it was before is saved in " + undoFile +
                  ": restore that file to undo this restore.");
  if (failure.empty()) return notes;
  if (readBack) {
    notes.push_back("The cart was read back after the failure: the lists say what it holds.");
  } else if (!readBackFailure.empty()) {
    notes.push_back("The cart could not be read back (" + readBackFailure +
                    "): what was sent but not confirmed may or may not be on it.");
  }
  return notes;
}

std::vector<std::string> RestoreOutcome::Lists() const {
  std::vector<std::string> lists;
  if (undoFile.empty()) return lists;
  if (!failure.empty()) {
    AddList("Applied:", applied, lists);
    if (!partlyApplied.empty()) AddList("Partly applied:", partlyApplied, lists);
    if (!notConfirmed.empty()) AddList("Sent but not confirmed:", notConfirmed, lists);
    AddList("Not applied:", notApplied, lists);
  } else if (!notTaken.empty()) {
    AddList("Still different:", notTaken, lists);
  }
  return lists;
}

std::vector<std::string> RestoreOutcome::Details() const {
  std::vector<std::string> details = Notes();
  const std::vector<std::string> lists = Lists();
  details.insert(details.end(), lists.begin(), lists.end());
  return details;
}

std::string RestoreOutcome::Message() const {
  std::string text = summary;
  for (const std::string& line : Details()) text += "\n" + line;
  return text;
}

}  // namespace molvane
