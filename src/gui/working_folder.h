#pragma once
#include <QString>

namespace molvane {

class CartController;

// Makes the program's own folder the controller's program folder, and the folder that keeps
// Molvane.cfg and bootlog.txt (app/settings_folder.h: that same folder, unless the program is
// installed) the working folder, so that files named without a folder land there whatever folder
// the program was started from. Call it after the controller is built: the traffic trace keeps
// the start-up folder. False when the folder could not be entered; the working folder then stays
// as it was.
bool EnterSettingsFolder(CartController& controller);
// The same for a program file in `programFolder`.
bool EnterSettingsFolder(CartController& controller, const QString& programFolder);

}  // namespace molvane
