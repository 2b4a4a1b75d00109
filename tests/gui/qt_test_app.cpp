#include "gui/qt_test_app.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QKeyEvent>
#include <QThread>

#include "app/cart_thread.h"

namespace gui_testing {
namespace {

QApplication* application = nullptr;

class QtEnvironment : public ::testing::Environment {
 public:
  void TearDown() override {
    delete application;
    application = nullptr;
  }
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace

QApplication& TestApp() {
  static int argc = 1;
  static char name[] = "test_gui";
  static char* argv[] = {name, nullptr};
  if (!application) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The window records every cart it finds: the simulated ones stay out of whatever store
    // the developer's environment names. A test of the store names its own.
    qputenv("MOLVANE_FLEET", "off");
    application = new QApplication(argc, argv);
  }
  return *application;
}

bool Settle(molvane::CartThread& worker, int timeoutMs) {
  QElapsedTimer clock;
  clock.start();
  // Idle twice in a row with the window's queue emptied between: a job's last words to the
  // window are queued just before it counts as done.
  int idleTurns = 0;
  while (clock.elapsed() < timeoutMs) {
    QApplication::processEvents(QEventLoop::AllEvents, 10);
    idleTurns = worker.Idle() ? idleTurns + 1 : 0;
    if (idleTurns >= 3) return true;
    QThread::msleep(2);
  }
  return false;
}

void Wait(int ms) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < ms) {
    QApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(1);
  }
}

void PressKey(QWidget* widget, int key, Qt::KeyboardModifiers modifiers, const QString& text) {
  QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
  QApplication::sendEvent(widget, &press);
  QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
  QApplication::sendEvent(widget, &release);
}

void TypeText(QWidget* widget, const QString& text) {
  for (const QChar c : text) {
    const int key = c.isLetterOrNumber() ? c.toUpper().unicode() : c.unicode();
    PressKey(widget, key, Qt::NoModifier, QString(c));
  }
}

}  // namespace gui_testing
