#include "gui/setup_dialog.h"

namespace molvane {

SetupDialog::SetupDialog(CartController& controller, QWidget* parent)
    : PageView(parent), model(controller) {
  Bind();
}

}  // namespace molvane
