#pragma once

namespace molvane {

class CartController;
class UiServices;

// The File menu's "Back Up Cart..." and "Restore Cart..." without the window. Both ask for the
// file, keep off the port while a transfer runs, and tell the operator how it ended; a restore
// is shown in full and sends nothing unless the operator accepts it.
class BackupMenu {
 public:
  static constexpr const char* kBackUpTitle = "Back Up Cart";
  static constexpr const char* kRestoreTitle = "Restore Cart";

  explicit BackupMenu(CartController& controller) : controller(controller) {}

  void BackUpCart();
  // True when commands that change the cart were sent, so that the pages read it again.
  bool RestoreCart();

 private:
  bool PortFree() const;
  UiServices& Ui() const;

  CartController& controller;
};

}  // namespace molvane
