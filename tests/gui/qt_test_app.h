#pragma once
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

namespace gui_testing {

// The one QApplication of the test program, on the offscreen platform unless told otherwise.
// It is made on first use and ended after the last test, while Qt's own globals still exist.
QApplication& TestApp();

// Runs `act` on the modal window that opens next (a message box, the about box), from inside
// its own event loop. Gives up after a few seconds so that a window that never opens fails
// the test instead of hanging it.
inline void OnNextModal(std::function<void(QWidget*)> act, QWidget* below = nullptr) {
  auto* poll = new QTimer;
  auto tries = std::make_shared<int>(0);
  QObject::connect(poll, &QTimer::timeout, [poll, tries, act, below] {
    QWidget* modal = QApplication::activeModalWidget();
    if ((modal && modal != below) || ++*tries > 300) {
      poll->stop();
      poll->deleteLater();
      if (modal && modal != below) act(modal);
    }
  });
  poll->start(10);
}

}  // namespace gui_testing
