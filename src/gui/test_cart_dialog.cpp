#include "gui/test_cart_dialog.h"

namespace molvane {

TestCartDialog::TestCartDialog(CartController& controller, UiServices& ui, QWidget* parent)
    : PageView(parent), model(controller, ui) {}

}  // namespace molvane
