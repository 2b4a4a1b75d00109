#pragma once
#include <QDialog>
#include <QElapsedTimer>
#include <array>
#include <memory>

#include "pages/file_menu.h"
#include "pages/main_window_model.h"
#include "pages/window_ui.h"

class QLineEdit;
class QMenuBar;
class QProgressBar;
class QPushButton;
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

  // Every way of closing the window ends here: the timer, the cart thread and the port scanner
  // stop with it.
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
  void OnTimer();
  void ShowConnection(const std::string& text);
  void ShowRunningWork();
  void ShowAbout();
  // File menu work runs on the cart thread like a page's.
  void RunFromMenu(std::function<void()> work);

  CartController& controller;
  // The window's own services, and the same as the cart thread's jobs reach them.
  UiServices& windowUi;
  WindowUi ui;
  std::array<PageView*, MainWindowModel::kPageCount> pages{};
  QTabWidget* sheet = nullptr;
  QLineEdit* status = nullptr;
  QProgressBar* workProgress = nullptr;
  QPushButton* cancelWork = nullptr;
  QTimer* timer = nullptr;
  std::unique_ptr<MainWindowModel> monitor;
  bool stopped = false;
  std::string workTitle;
  QElapsedTimer workSince;
  static constexpr int kQuickWorkMs = 400;
  FileMenu fileMenu{controller, ui};
};

}  // namespace molvane
