#pragma once
#include <string>

#include "app/outcome.h"

namespace molvane {

class CartController;
struct Board;

// Where the board is when its update starts: running its firmware, which is told to hand it to
// its bootloader, or already waiting in its bootloader (an update that did not finish), where the
// update takes it from the handshake on.
enum class BoardStart { RunningFirmware, InBootloader };

// Starts the firmware update of one board on the transfer worker: the file is checked whole
// first, then the board is handed to its bootloader and the image sent page by page. A refused
// start says why; the worker's end is the controller's TransferOutcome().
Outcome StartFirmwareUpdate(CartController& controller, const std::string& path, const Board& board,
                            BoardStart start = BoardStart::RunningFirmware);

}  // namespace molvane
