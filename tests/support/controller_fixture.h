#pragma once
#include <string>

#include "app/cart_controller.h"
#include "support/raw_pty.h"
#include "support/temp_dir.h"

namespace testing_support {

// A controller whose current port is connected to a ScriptedCart that does not echo.
// The traffic trace and the configuration file live in the fixture's own folder.
struct ConnectedController {
  explicit ConnectedController(ScriptedCart::Responder responder)
      : cart(std::move(responder)), controller(dir.Path(), dir.Path()) {
    controller.portNumbers[0] = cart.DevicePath();
    controller.portCount = 1;
    controller.ports[0].Open(cart.DevicePath(), molvane::CartController::kBaudRate, 0, 8, 0);
    controller.currentPort = 0;
    controller.echoesCommands = false;
    controller.cartCount = 1;
  }

  std::string Trace() const { return ReadFile(controller.ports[0].TracePath()); }

  TempDir dir;
  ScriptedCart cart;
  molvane::CartController controller;
};

}  // namespace testing_support
