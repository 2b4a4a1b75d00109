#include "gui/pin_list_dialog.h"

namespace molvane {

PinListDialog::PinListDialog(CartController& controller, UiServices& ui, QWidget* parent)
    : PageView(parent), model(controller, ui) {}

}  // namespace molvane
