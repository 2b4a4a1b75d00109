// The one transfer worker thread shared by the firmware update and the bitmap upload.
#include <system_error>

#include "app/cart_controller.h"

namespace molvane {

void CartController::StartWorker(void (CartController::*body)()) {
  WaitForTransfer();
  try {
    transferThread = std::thread(body, this);
  } catch (const std::system_error&) {
    SetMessage("The transfer could not be started.");
  }
}

void CartController::WaitForTransfer() {
  if (transferThread.joinable() && transferThread.get_id() != std::this_thread::get_id()) {
    transferThread.join();
  }
}

}  // namespace molvane
