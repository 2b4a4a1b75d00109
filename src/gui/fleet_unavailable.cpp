// Built without the fleet store (the Windows cross build: there is no SOCI for it). File >
// Fleet... stays where the operator looks for it and says why it shows nothing, as molvanectl's
// fleet command does; a greyed item would hide the reason in a tip menus rarely show.
#include "gui/fleet_window.h"
#include "pages/ui_services.h"

namespace molvane {

void OpenFleetWindow(QPointer<QDialog>&, QWidget*, CartController&, UiServices& ui) {
  ui.ShowError("The fleet record is not in this build of Molvane.");
}

}  // namespace molvane
