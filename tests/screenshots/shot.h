#pragma once
#include <functional>
#include <string>
#include <vector>

#include "app/outcome.h"

class QTabWidget;

namespace cartsim {
class SimCart;
}

namespace molvane {
class CartController;
class CMolvaneDlg;
class UiServices;
}  // namespace molvane

namespace screenshots {

// What a shot may reach: the real main window over a simulated cart on a pseudo-terminal.
struct ShotContext {
  molvane::CMolvaneDlg& window;
  QTabWidget& sheet;
  molvane::CartController& controller;
  molvane::UiServices& ui;
  cartsim::SimCart& sim;
  // Keeps the window's event loop running for a while, so polls and timers do their work.
  std::function<void(int ms)> wait;
  // Runs cart work on the controller's cart thread, where the window's own work runs, and keeps
  // the event loop running until it is done.
  std::function<void(std::function<void()> work)> onCart;
  // Saves a widget (the window, or a dialog a shot opened) as docs/<file>.
  std::function<void(const std::string& file, class QWidget& widget)> save;
  // A preparation step that must have gone through; the tour fails, saying `what`, if not.
  std::function<void(const molvane::Outcome& outcome, const std::string& what)> require;
};

// One picture of the program: the tab in front, an optional preparation (set the cart's state,
// press a button, open a dialog), and the file it is saved as. A shot whose preparation saves
// its own pictures leaves `file` empty.
struct Shot {
  std::string file;
  int tab = 0;
  std::function<void(ShotContext&)> prepare = {};
  int settleMs = 1500;
};

std::vector<Shot>& Shots();

struct AddShot {
  explicit AddShot(Shot shot) { Shots().push_back(std::move(shot)); }
};

}  // namespace screenshots
