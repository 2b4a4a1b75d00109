#pragma once
#include <string>

#include "app/outcome.h"

namespace molvane {

class CartController;
struct Board;

// Starts the firmware update of one board on the transfer worker: the file is checked whole
// first, then the board is handed to its bootloader and the image sent page by page. A refused
// start says why; the worker's end is the controller's TransferOutcome().
Outcome StartFirmwareUpdate(CartController& controller, const std::string& path,
                            const Board& board);

}  // namespace molvane
