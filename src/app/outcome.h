#pragma once
#include <string>
#include <utility>

namespace molvane {

// What an operation did, for whoever shows it: success or failure, the operator's text (the
// confirmation or the failure's own words) and, for lists and transfers, how far it got. A read
// that ended early is a failure that says how many records came, never a shorter list. Dropping
// one unread is a warning: a failure nobody looks at is shown nowhere.
struct [[nodiscard]] Outcome {
  bool ok = true;
  std::string text;
  int done = 0;    // records read, lines or pages sent, PINs added
  int total = -1;  // of how many; -1 when not known
  // The command went out but its answer did not come back whole (silence, a line that closed
  // under it, a write cut short, a stop): the cart may have carried it out all the same.
  bool answerLost = false;

  static Outcome Success(std::string text = {}, int done = 0, int total = -1) {
    return {true, std::move(text), done, total};
  }
  static Outcome Failure(std::string text, int done = 0, int total = -1) {
    return {false, text.empty() ? std::string("Error") : std::move(text), done, total};
  }
  // The same failure, known to have left the command's fate open.
  Outcome& AnswerLost() {
    answerLost = !ok;
    return *this;
  }
  // The same failure in other words, its fate kept.
  Outcome& Reworded(std::string newText) {
    if (!ok) text = std::move(newText);
    return *this;
  }
  explicit operator bool() const { return ok; }
  // The operator's line: the confirmation on success when there is none of its own.
  std::string TextOr(const std::string& confirmation) const {
    return ok && text.empty() ? confirmation : text;
  }
  // An operation of several commands fails with the first of them that failed; the ones after
  // it may still have been sent, but their failures follow from it.
  Outcome& Merge(const Outcome& step) {
    if (ok && !step.ok) *this = step;
    return *this;
  }
};

// A query's value together with how the exchange went. The value is only the cart's when the
// outcome is a success.
template <class T>
struct [[nodiscard]] Result {
  T value{};
  Outcome outcome;

  explicit operator bool() const { return outcome.ok; }
};

}  // namespace molvane
