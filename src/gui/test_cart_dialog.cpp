#include "gui/test_cart_dialog.h"

namespace molvane {

TestCartDialog::TestCartDialog(CartController& controller, QWidget* parent)
    : PageView(parent), model(controller) {
  Bind();
}

}  // namespace molvane
