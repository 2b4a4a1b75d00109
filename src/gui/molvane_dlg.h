#pragma once
#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <array>
#include <memory>

#include "pages/file_menu.h"
#include "pages/main_window_model.h"
#include "pages/threaded_runner.h"

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
  // The cart thread and the scanner stop taking work at once, so the window can hide; joining
  // them comes after, and is quick since their waits end with the stop.
  void BeginStop();
  void Stop();
  void OnTimer();
  void ShowConnection(const std::string& text);
  void ShowRunningWork();
  // A firmware or bitmap transfer in the progress bar, named by the operation that started it.
  bool ShowTransfer();
  void ShowAbout();
  // File menu work is the operator's like a page button's.
  void RunFromMenu(const std::function<void()>& work, const char* title);

  CartController& controller;
  UiServices& ui;
  // The cart work of the window's own: the connection check and the File menu.
  ThreadedRunner runner;
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
  QString lastAction;     // the operator's last operation, which names a transfer it started
  QString transferTitle;  // the running transfer's name, empty while none runs
  static constexpr int kQuickWorkMs = 400;
  FileMenu fileMenu{controller, ui};
  bool stopping = false;
  QPointer<QDialog> fleetWindow;  // File > Fleet..., while it is open
};

}  // namespace molvane
