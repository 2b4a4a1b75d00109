#pragma once
#include <atomic>
#include <string>

#include "app/outcome.h"

namespace molvane {

class CartController;
class SerialPort;
struct Timing;

// What a running firmware update or bitmap upload may do with the controller, from its worker
// thread: take the port, say which phase it is in, report progress and notice a cancel. The
// controller hands one to the transfer's body; nothing else changes the transfer's state.
class TransferSession {
 public:
  explicit TransferSession(CartController& controller) : controller(controller) {}

  // Finds the port the transfer runs on. With no current port every listed port is opened in
  // turn and the last that opens becomes current. A known port is reopened when it is closed,
  // or always when `reopenKnown` is set (the display is reached afresh for a bitmap upload).
  // A failure names why no port could be had.
  Outcome ChoosePort(bool reopenKnown);
  // The chosen port; only valid after ChoosePort succeeded.
  SerialPort& Port();
  // Closes and reopens the current port, as the display wants after storing a bitmap.
  void ReopenPort();

  // The phases of a firmware update: waiting for the bootloader's 'U', then sending.
  void SetWaitingForBootloader(bool waiting);
  void SetTransferring(bool transferring);
  void SetStatus(const std::string& text);
  void SetProgress(int done, int total);
  void SetMessage(const std::string& text);

  bool Cancelled() const { return CancelFlag().load() != 0; }
  // Raised by a cancel and when the controller shuts down; every wait of a transfer ends on it.
  const std::atomic<int>& CancelFlag() const;
  const Timing& timing() const;
  std::string BootlogFolder() const;
  // For the command transactions of a bitmap upload, which go through on this thread.
  CartController& Controller() { return controller; }

 private:
  CartController& controller;
};

}  // namespace molvane
