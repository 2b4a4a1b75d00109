#pragma once

namespace molvane {

class CartController;

// Makes the program's own folder the working folder and the controller's program folder, so
// that files named without a folder land beside the program whatever folder it was started
// from. Call it after the controller is built: the traffic trace keeps the start-up folder.
// False when the folder could not be entered; the working folder then stays as it was.
bool EnterProgramFolder(CartController& controller);

}  // namespace molvane
