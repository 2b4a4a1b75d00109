#include "gui/pin_list_dialog.h"

namespace molvane {

PinListDialog::PinListDialog(CartController& controller, QWidget* parent)
    : PageView(parent), model(controller) {
  Bind();
}

}  // namespace molvane
