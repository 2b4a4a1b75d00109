// The one transfer worker thread shared by the firmware update and the bitmap upload.
#include <system_error>

#include "app/cart_controller.h"

namespace molvane {

int CartController::StartTransfer(std::atomic<int>& busyFlag, std::string& fileField,
                                  const std::string& file, void (CartController::*body)()) {
  if (IsBusy()) {
    SetMessage(texts::kTransferRunning);
    return 1;
  }
  WaitForTransfer();
  fileField = file;
  cancelRequest = 0;
  // Busy from here on: a second start is refused, commands from other threads are held off and
  // the scanner stops at its next port.
  busyFlag = 1;
  try {
    transferThread = std::thread([this, body] {
      transferThreadOf = this;
      // A scan pass may be probing a port right now; it puts it down before the next one.
      { std::lock_guard waitForScanner(scanPortMutex); }
      (this->*body)();
    });
  } catch (const std::system_error&) {
    busyFlag = 0;
    SetMessage("The transfer could not be started.");
    return 1;
  }
  return 0;
}

void CartController::WaitForTransfer() {
  if (transferThread.joinable() && transferThread.get_id() != std::this_thread::get_id()) {
    transferThread.join();
  }
}

}  // namespace molvane
