// The one transfer worker thread shared by the firmware update and the bitmap upload.
#include <system_error>

#include "app/cart_controller.h"
#include "app/transfer_session.h"

namespace molvane {

Outcome CartController::StartTransfer(TransferKind kind, TransferBody body) {
  if (IsBusy()) return Outcome::Failure(texts::kTransferRunning);
  WaitForTransfer();
  cancelRequest = 0;
  transferDone = 0;
  transferTotal = 0;
  SetStatusText("");
  // Busy from here on: a second start is refused, commands from other threads are held off and
  // the scanner stops at its next port.
  std::atomic<int>& busyFlag = kind == TransferKind::Firmware ? bootloaderWait : transferInProgress;
  busyFlag = 1;
  try {
    transferThread = std::thread([this, body = std::move(body)] { RunTransfer(body); });
  } catch (const std::system_error&) {
    busyFlag = 0;
    return Outcome::Failure("The transfer could not be started.");
  }
  return Outcome::Success();
}

void CartController::RunTransfer(const TransferBody& body) {
  transferThreadOf = this;
  // A scan pass may be probing a port right now; it puts it down before the next one.
  { std::lock_guard waitForScanner(scanPortMutex); }
  TransferSession session(*this);
  const Outcome outcome = body(session);
  SetMessage(outcome.text);
  {
    std::lock_guard lock(textMutex);
    lastTransfer = outcome;
  }
  transferInProgress = 0;
  bootloaderWait = 0;
}

Outcome CartController::TransferOutcome() const {
  std::lock_guard lock(textMutex);
  return lastTransfer;
}

void CartController::WaitForTransfer() {
  if (transferThread.joinable() && transferThread.get_id() != std::this_thread::get_id()) {
    transferThread.join();
  }
}

}  // namespace molvane
