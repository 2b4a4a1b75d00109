// Closing the window in the states that once held it up or crashed it: the cart gone silent
// while the connection check's keep-alive waits for its answer, and a full log being read.
#include <gtest/gtest.h>

#include <QAction>

#include "gui/window_on_cart.h"

namespace {

// File > Exit while the keep-alive waits on a silent cart: the window is hidden and the cart
// thread stopped before anything else can be posted, the wait is cut short rather than ending
// as a time-out, and once the window is gone nothing more reaches the cart.
TEST(WindowClose, ExitWhileTheKeepAliveWaitsOnASilentCart) {
  gui_testing::WindowOnCart on;
  ASSERT_TRUE(on.Connected());
  // The Setup page in front polls too; whichever asks first, a command waits on the cart.
  const int before = on.Commands();
  on.fixture.sim.faults.dropAnswers = true;
  ASSERT_TRUE(on.Until([&] { return on.Commands() > before; })) << "a command waits on the cart";

  QAction* exit = on.MenuAction("File", "E&xit");
  ASSERT_NE(exit, nullptr);
  exit->trigger();
  EXPECT_FALSE(on.window->isVisible());
  EXPECT_TRUE(on.fixture.controller.Worker().Stopping());
  EXPECT_GE(on.fixture.controller.CurrentPort(), 0)
      << "the wait ended with the stop, not with a time-out that gives the cart up";

  const int commands = on.Commands();
  on.window.reset();
  gui_testing::Wait(300);
  EXPECT_EQ(on.Commands(), commands) << "nothing was sent after the window was gone";
  EXPECT_FALSE(on.fixture.controller.Worker().Post([] {})) << "and nothing can be started";
}

}  // namespace
