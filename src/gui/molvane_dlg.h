#pragma once
#include <QDialog>
#include <array>
#include <memory>

#include "pages/file_menu.h"
#include "pages/main_window_model.h"

class QLineEdit;
class QMenuBar;
class QTabWidget;
class QTimer;

namespace molvane {

class CartController;
class PageView;
class UiServices;

// The main window: the six pages on tabs, the connection status above them, and
// the 100 ms timer that drives the connection check and the polling of the page in front.
class CMolvaneDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr const char* kCaption = "Molvane";
  static constexpr int kTimerMs = 100;

  CMolvaneDlg(CartController& controller, UiServices& ui, QWidget* parent = nullptr);
  ~CMolvaneDlg() override;

  // Every way of closing the window ends here: the timer and the port scanner stop with it.
  void done(int result) override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void BuildLayout();
  QMenuBar* BuildMenu();
  void BuildPages();
  void AddPages();
  void StartPages();
  void Stop();
  bool HasDefaultButton() const;
  void OnTimer();
  void ShowConnection();
  void ShowAbout();
  void RestoreCart();

  CartController& controller;
  UiServices& ui;
  std::array<PageView*, MainWindowModel::kPageCount> pages{};
  QTabWidget* sheet = nullptr;
  QLineEdit* status = nullptr;
  QTimer* timer = nullptr;
  std::unique_ptr<MainWindowModel> monitor;
  bool stopped = false;
  FileMenu fileMenu{controller, ui};
};

}  // namespace molvane
