#include "gui/log_dialog.h"

namespace molvane {

LogDialog::LogDialog(CartController& controller, QWidget* parent)
    : PageView(parent), model(controller) {
  Bind();
}

}  // namespace molvane
