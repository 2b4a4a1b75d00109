// A page's cart work on the cart thread and its results back on the window's: the operator's
// work is held until the last step it led to has ended, and nothing reaches a page that is gone.
#include "pages/threaded_runner.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "app/cart_thread.h"
#include "support/window_queue.h"

namespace {

using molvane::CartJob;
using molvane::CartThread;
using molvane::ThreadedRunner;
using testing_support::WindowQueue;

// Work that hands back `step` and notes the thread it ran on.
CartJob Job(std::function<void()> step, std::thread::id* ranOn = nullptr) {
  return {[step = std::move(step), ranOn]() -> std::function<void()> {
            if (ranOn != nullptr) *ranOn = std::this_thread::get_id();
            return step;
          },
          {},
          {}};
}

TEST(ThreadedRunner, HoldsTheOperatorsWorkUntilTheLastStepItLedToHasEnded) {
  CartThread thread;
  WindowQueue window;
  ThreadedRunner runner(thread, window.Dispatch());
  std::vector<int> heldSeen;
  runner.onHeldChanged = [&] { heldSeen.push_back(runner.Held()); };
  std::thread::id cartSide;
  std::vector<std::string> steps;

  runner.AsOperatorAction("Paste", [&] {
    runner.Run(Job(
        [&] {
          steps.push_back("added");
          // The read-back the result asks for belongs to the same operation.
          runner.Run(Job([&] { steps.push_back("read back"); }));
        },
        &cartSide));
  });
  runner.Run(Job([&] { steps.push_back("poll"); }));  // not the operator's: holds nothing
  ASSERT_TRUE(window.RunUntil([&] { return steps.size() == 3; }));
  EXPECT_NE(cartSide, std::this_thread::get_id()) << "the work ran on the cart thread";
  EXPECT_EQ(steps, (std::vector<std::string>{"added", "poll", "read back"}));
  EXPECT_EQ(heldSeen, (std::vector<int>{1, 2, 1, 0}));
}

// While an operation's result waits in its box, the window's timers keep running; what they start
// meanwhile is nobody's operation: neither held with it nor named by it in the progress bar.
TEST(ThreadedRunner, WorkStartedApartWhileAnOperationsBoxIsOpenIsNotTheOperations) {
  CartThread thread;
  WindowQueue window;
  ThreadedRunner runner(thread, window.Dispatch());
  std::string tickTitle = "not run";
  int heldWhileOpen = -1;
  runner.AsOperatorAction("Update", [&] {
    runner.Run(Job([&] {
      runner.Apart([&] {  // the page timer, while the result's box is open
        runner.Run({[&]() -> std::function<void()> {
                      tickTitle = thread.Current().title;
                      return [] {};
                    },
                    {},
                    {}});
      });
      heldWhileOpen = runner.Held();
    }));
  });
  ASSERT_TRUE(window.RunUntil([&] { return runner.Held() == 0 && thread.Idle(); }));
  window.RunPending();
  EXPECT_EQ(heldWhileOpen, 1) << "only the operation's own work is held";
  EXPECT_EQ(tickTitle, "");
}

TEST(ThreadedRunner, NothingReachesARunnerThatIsGoneAndAStoppedThreadHoldsNothing) {
  CartThread thread;
  WindowQueue window;
  std::atomic<bool> release{false};
  // One job runs (blocked) and one waits when the runner goes; both finish after it.
  auto page = std::make_unique<int>(7);
  bool applied = false;
  {
    ThreadedRunner runner(thread, window.Dispatch());
    runner.Run({[&release]() -> std::function<void()> {
                  while (!release) std::this_thread::yield();
                  return [] {};
                },
                {},
                {}});
    runner.Run(Job([&, seen = page.get()] { applied = *seen == 7; }));
  }
  page.reset();  // the page goes with its view; a step that reached it would read freed memory
  release = true;
  thread.Stop();  // the queued job may have run or been dropped; either way it hands back
  window.RunPending();
  EXPECT_FALSE(applied);

  ThreadedRunner late(thread, window.Dispatch());
  late.AsOperatorAction("Get List", [&] { late.Run(Job([] {})); });
  EXPECT_EQ(late.Held(), 0) << "work the stopped thread did not take leaves no button held";
}

}  // namespace
