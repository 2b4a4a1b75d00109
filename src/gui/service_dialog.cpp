#include "gui/service_dialog.h"

namespace molvane {

ServiceDialog::ServiceDialog(CartController& controller, UiServices& ui, QWidget* parent)
    : PageView(parent), model(controller, ui) {}

}  // namespace molvane
