#pragma once
#include <QApplication>
#include <QDir>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

#include "gui/page_view.h"

namespace molvane {
class CartThread;
}

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

// Restores the test program's working folder whatever the test did to it.
struct KeepWorkingFolder {
  QString folder = QDir::currentPath();
  ~KeepWorkingFolder() { QDir::setCurrent(folder); }
};

// Keeps the event loop running for a while, so timers fire and widgets repaint. (The Windows
// build's Qt has no test library, so the GUI tests drive widgets with plain events.)
void Wait(int ms);

// Keeps the event loop running until the cart thread has done everything asked of it (and what
// it showed has reached the window), or the time is up; false then.
bool Settle(molvane::CartThread& worker, int timeoutMs = 20000);
inline bool Settle(molvane::PageView& page) { return Settle(page.Model().Worker()); }

// Runs `work` on the cart thread as one of the page's own operations, as a button would, and
// waits for it and for what it showed.
inline void OnCart(molvane::PageView& page, std::function<void()> work) {
  page.Act(std::move(work));
  Settle(page);
}

// Types the text into the widget as key presses, one character at a time.
void TypeText(QWidget* widget, const QString& text);

// One key press with modifiers, as the keyboard would send it.
void PressKey(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
              const QString& text = {});

}  // namespace gui_testing
