#include "gui/service_dialog.h"

namespace molvane {

ServiceDialog::ServiceDialog(CartController& controller, QWidget* parent)
    : PageView(parent), model(controller) {
  Bind();
}

}  // namespace molvane
