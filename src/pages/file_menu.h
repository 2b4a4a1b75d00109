#pragma once

namespace molvane {

class CartController;
class UiServices;

// The File menu's "Back Up Cart...", "Restore Cart..." and "Save Support Report..." without the
// window. Each asks for the file, keeps off the port while a transfer runs, and tells the
// operator how it ended; a restore is shown in full and sends nothing unless the operator
// accepts it.
class FileMenu {
 public:
  static constexpr const char* kBackUpTitle = "Back Up Cart";
  static constexpr const char* kRestoreTitle = "Restore Cart";
  static constexpr const char* kSupportReportTitle = "Save Support Report";

  FileMenu(CartController& controller, UiServices& ui) : controller(controller), ui(ui) {}

  void BackUpCart();
  // True when commands that change the cart were sent, so that the pages read it again.
  bool RestoreCart();
  // Asks where, writes the report (access codes masked) and says how it went.
  void SaveSupportReport();

 private:
  bool PortFree() const;

  CartController& controller;
  UiServices& ui;
};

}  // namespace molvane
