#include "pages/page_model.h"

#include "app/cart_controller.h"

namespace molvane {

UiServices& PageModel::Ui() const { return controller.Ui(); }

void PageModel::ShowMessage(const std::string& text) const { Ui().MessageBox(text); }

}  // namespace molvane
