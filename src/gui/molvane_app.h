#pragma once
#include <QApplication>
#include <QDialog>

#include "app/cart_controller.h"
#include "gui/qt_ui_services.h"

namespace molvane {

// The application: the Qt side, the one controller and the window-system services, built in
// that order, and the main window run modally until it closes.
class CMolvaneApp {
 public:
  // Option for tests and demonstrations: close the main window after this many milliseconds.
  static constexpr const char* kQuitAfterOption = "--quit-after";
  // Option for tests outside the process: keep writing what the open windows show to this file
  // (see window_texts.h), a few times a second.
  static constexpr const char* kDumpWindowOption = "--dump-window";
  static constexpr int kDumpMs = 200;

  CMolvaneApp(int& argc, char** argv);
  CMolvaneApp(const CMolvaneApp&) = delete;
  CMolvaneApp& operator=(const CMolvaneApp&) = delete;

  // Runs the main window; the program ends when it closes, so the result is always 0.
  int InitInstance();

 private:
  void ReadOptions();
  void ScheduleQuit(QDialog& window) const;
  void ScheduleDump(QDialog& window) const;

  QApplication app;
  CartController controller;  // built in the start-up folder, where its trace belongs
  QtUiServices ui;
  int quitAfterMs = -1;
  QString dumpPath;
};

}  // namespace molvane
