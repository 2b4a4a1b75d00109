#include "pages/page_model.h"

#include "pages/ui_services.h"

namespace molvane {

void PageModel::ShowMessage(const std::string& text) const { ui.MessageBox(text); }

void PageModel::ShowOutcome(const Outcome& outcome, const std::string& confirmation) const {
  const std::string text = outcome.TextOr(confirmation);
  if (!text.empty()) ShowMessage(text);
}

}  // namespace molvane
