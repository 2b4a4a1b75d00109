#pragma once
#include <gtest/gtest.h>

#include <string>

#include "app/cart_controller.h"
#include "support/raw_pty.h"
#include "support/temp_dir.h"

namespace testing_support {

// A controller whose current port is connected to a ScriptedCart that does not echo.
// The traffic trace and the configuration file live in the fixture's own folder. Every answer
// the cart gives must have been waited for before the next command comes (a case that leaves
// one unread on purpose sets expectAnswersRead to false).
struct ConnectedController {
  explicit ConnectedController(ScriptedCart::Responder responder)
      : cart(std::move(responder), true), controller(dir.Path(), dir.Path()) {
    controller.AttachPort(cart.DevicePath(), false);
  }

  ~ConnectedController() {
    if (!expectAnswersRead) return;
    const std::vector<std::string> unread = cart.UnreadAnswers();
    std::string commands;
    for (const std::string& line : unread) commands += " '" + line + "'";
    EXPECT_TRUE(unread.empty()) << "the next command came before the answer to" << commands
                                << " was read";
  }

  std::string Trace() const { return ReadFile(controller.TracePath()); }

  bool expectAnswersRead = true;
  TempDir dir;
  ScriptedCart cart;
  molvane::CartController controller;
};

}  // namespace testing_support
