#include "gui/calibrate_dialog.h"

namespace molvane {

CalibrateDialog::CalibrateDialog(CartController& controller, UiServices& ui, QWidget* parent)
    : PageView(parent), model(controller, ui) {}

}  // namespace molvane
