#include "gui/calibrate_dialog.h"

namespace molvane {

CalibrateDialog::CalibrateDialog(CartController& controller, QWidget* parent)
    : PageView(parent), model(controller) {
  Bind();
}

}  // namespace molvane
