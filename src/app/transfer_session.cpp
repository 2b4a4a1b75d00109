#include "app/transfer_session.h"

#include <algorithm>

#include "app/cart_controller.h"

namespace molvane {
namespace {

constexpr const char* kPortNotReopened =
    "The port last known to have a cart attached could not be opened.";

}  // namespace

Outcome TransferSession::ChoosePort(bool reopenKnown) {
  CartController& c = controller;
  const int index = c.currentPort.load();
  if (index >= 0 && index < CartController::kMaxPorts) {
    SerialPort& port = c.Port(index);
    if (port.IsOpen() && !reopenKnown) return Outcome::Success();
    port.Close();
    if (c.OpenCartPort(index)) return Outcome::Success();
    port.Close();
    return Outcome::Failure(kPortNotReopened);
  }
  c.currentPort = -1;
  const int count = std::min(c.portCount.load(), CartController::kMaxPorts);
  if (count <= 0) return Outcome::Failure(texts::kNoPorts);
  for (int i = 0; i < count; ++i) {
    c.Port(i).Close();
    if (c.OpenCartPort(i)) {
      c.currentPort = i;
    } else {
      c.Port(i).Close();
    }
  }
  if (c.currentPort.load() < 0) return Outcome::Failure(texts::kNoPortOpened);
  return Outcome::Success();
}

SerialPort& TransferSession::Port() {
  return controller.Port(std::max(controller.currentPort.load(), 0));
}

void TransferSession::ReopenPort() {
  const int index = controller.currentPort.load();
  if (index < 0 || index >= CartController::kMaxPorts) return;
  controller.Port(index).Close();
  if (!controller.OpenCartPort(index)) controller.Port(index).Close();
}

void TransferSession::SetWaitingForBootloader(bool waiting) {
  controller.bootloaderWait = waiting ? 1 : 0;
}

void TransferSession::SetTransferring(bool transferring) {
  controller.transferInProgress = transferring ? 1 : 0;
}

void TransferSession::SetStatus(const std::string& text) { controller.SetStatusText(text); }

void TransferSession::SetProgress(int done, int total) {
  controller.transferTotal = total;
  controller.transferDone = done;
}

void TransferSession::SetMessage(const std::string& text) { controller.SetMessage(text); }

const std::atomic<int>& TransferSession::CancelFlag() const { return controller.cancelRequest; }

const Timing& TransferSession::timing() const { return controller.timing; }

std::string TransferSession::BootlogFolder() const { return controller.BootlogFolder(); }

}  // namespace molvane
