#include "gui/log_dialog.h"

namespace molvane {

LogDialog::LogDialog(CartController& controller, UiServices& ui, QWidget* parent)
    : PageView(parent), model(controller, ui) {}

}  // namespace molvane
