#include "pages/page_model.h"

#include "app/link_texts.h"
#include "pages/failure_text.h"
#include "pages/ui_services.h"

namespace molvane {

void PageModel::ShowMessage(const std::string& text) const { ui.MessageBox(text); }

void PageModel::ShowFailure(const std::string& action, const std::string& failure,
                            const std::string& caption) const {
  const std::string text = FailureText(action, failure);
  TellLink(text);
  ui.ShowError(text, caption);
}

void PageModel::TellChange(const Outcome& change, const std::string& action,
                           const std::string& readAction, const std::string& readFailure,
                           const std::string& note, const std::string& caption) const {
  const std::string cancelled = texts::kCancelled;
  std::string failure, told;
  if (!change && change.text.ends_with(cancelled)) {
    told = action.empty() ? change.text : action + ": " + change.text;
  } else if (!change) {
    failure = FailureText(action, change.text) + note;
  }
  if (!readFailure.empty() && (change || readFailure != change.text)) {
    std::string& into = readFailure == cancelled ? told : failure;
    into += (into.empty() ? "" : "\n\n") + FailureText(readAction, readFailure);
  }
  if (!told.empty()) ShowMessage(told);
  if (failure.empty()) return;
  TellLink(failure);
  ui.ShowError(failure, caption);
}

void PageModel::ShowOutcome(const Outcome& outcome, const std::string& confirmation,
                            const std::string& action) const {
  if (!outcome) return ShowFailure(action, outcome.text);
  const std::string text = outcome.TextOr(confirmation);
  if (!text.empty()) ShowMessage(text);
}

}  // namespace molvane
