#include "pages/page_model.h"

#include "app/cart_controller.h"
#include "pages/ui_services.h"

namespace molvane {

CartThread& PageModel::Worker() const { return controller.Worker(); }

void PageModel::ShowMessage(const std::string& text) const { ui.MessageBox(text); }

void PageModel::ShowOutcome(const Outcome& outcome, const std::string& confirmation) const {
  const std::string text = outcome.TextOr(confirmation);
  if (!text.empty()) ShowMessage(text);
}

}  // namespace molvane
