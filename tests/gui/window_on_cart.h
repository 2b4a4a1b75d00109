#pragma once
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>
#include <functional>
#include <memory>

#include "gui/molvane_dlg.h"
#include "gui/qt_test_app.h"
#include "support/controller_settings.h"
#include "support/recording_ui.h"
#include "support/sim_fixture.h"

namespace gui_testing {

// The main window over a simulated cart that the port scanner finds by itself, as a
// technician's machine finds a plugged-in cart; boxes are answered by the recorder.
struct WindowOnCart {
  // `linked`: the cart can be unplugged and plugged in again (fixture.link) and is found again.
  explicit WindowOnCart(bool linked = false) : fixture({}, false, linked) {
    TestApp();
    molvane::CartController& controller = fixture.controller;
    testing_support::SetDiscovery(controller, &molvane::DiscoverySource::sysfsRoot,
                                  fixture.dir.File("no-sysfs"));
    testing_support::SetDiscovery(controller, &molvane::DiscoverySource::useEnvironment, false);
    testing_support::SetDiscovery(controller, &molvane::DiscoverySource::extraPorts,
                                  fixture.Port());
    window = std::make_unique<molvane::CMolvaneDlg>(controller, ui);
    status = window->findChild<QLineEdit*>("connectionText");
    sheet = window->findChild<QTabWidget*>("pages");
  }

  // Keeps the event loop running until `done` holds; false when the bound ran out.
  static bool Until(const std::function<bool()>& done, int boundMs = 20000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
      if (clock.elapsed() > boundMs) return false;
      Wait(10);
    }
    return true;
  }

  // Shows the window and waits until it has found the cart and told the PINs' age.
  bool Connected() {
    window->show();
    return Until([&] { return status->text() == "Connected" && !ui.boxes.empty(); });
  }

  int Commands() {
    return fixture.sim.Inspect([](cartsim::SimCart& s) { return s.CommandsSeen(); });
  }

  QAction* MenuAction(const QString& menu, const QString& item) {
    for (QMenu* popup : window->findChildren<QMenu*>()) {
      if (QString(popup->title()).remove('&') != menu) continue;
      for (QAction* action : popup->actions()) {
        if (action->text() == item) return action;
      }
    }
    return nullptr;
  }

  testing_support::SimFixture fixture;
  testing_support::RecordingUi ui;
  std::unique_ptr<molvane::CMolvaneDlg> window;
  QLineEdit* status = nullptr;
  QTabWidget* sheet = nullptr;
};

}  // namespace gui_testing
