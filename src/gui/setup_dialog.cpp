#include "gui/setup_dialog.h"

namespace molvane {

SetupDialog::SetupDialog(CartController& controller, UiServices& ui, QWidget* parent)
    : PageView(parent), model(controller, ui) {}

}  // namespace molvane
