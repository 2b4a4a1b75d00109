// The cart thread: one job at a time in the order asked, ticks that do not pile up, a wait for
// the window that still lets the connection check through, and a stop that ends every wait.
#include "app/cart_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "support/controller_settings.h"

namespace {

using molvane::CartThread;

TEST(CartThread, RunsJobsInOrderAndDropsAKeyedJobThatIsAlreadyWaiting) {
  CartThread worker;
  std::mutex mutex;
  std::vector<std::string> ran;
  std::atomic<bool> go{false};
  const auto note = [&](std::string what) {
    std::lock_guard lock(mutex);
    ran.push_back(std::move(what));
  };
  worker.Post([&] {
    while (!go) std::this_thread::yield();
    note("long read");
  });
  worker.Post([&] { note("poll"); }, {}, "poll");
  worker.Post([&] { note("poll again"); }, {}, "poll");  // the first still waits: dropped
  worker.Post([&] { note("button"); });
  go = true;
  ASSERT_TRUE(testing_support::WaitIdle(worker));
  EXPECT_EQ(ran, (std::vector<std::string>{"long read", "poll", "button"}));
}

TEST(CartThread, AJobWaitingForTheWindowLetsInterleavedWorkRunAndAStopEndsTheWait) {
  CartThread worker;
  std::atomic<bool> answered{false};
  std::atomic<int> checks{0};
  std::atomic<int> waitResult{-1};
  worker.Post([&] { waitResult = worker.WaitUntil([&] { return answered.load(); }) ? 1 : 0; });
  worker.PostInterleaved([&] { ++checks; }, "check");
  worker.Post([&] { checks += 100; });  // an ordinary job waits for the box
  for (int i = 0; i < 500 && checks == 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  EXPECT_EQ(checks.load(), 1);
  answered = true;
  worker.Notify();
  ASSERT_TRUE(testing_support::WaitIdle(worker));
  EXPECT_EQ(waitResult.load(), 1);
  EXPECT_EQ(checks.load(), 101);

  std::atomic<bool> cancelled{false};
  worker.Post(
      [&] {
        const molvane::Progress progress = molvane::JobProgress();
        progress.Report(3, 10);
        waitResult = worker.WaitUntil([] { return false; }) ? 1 : 0;
        cancelled = progress.Cancelled();
      },
      "Reading the log");
  for (int i = 0; i < 500 && worker.Current().done != 3; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  EXPECT_EQ(worker.Current().title, "Reading the log");
  EXPECT_EQ(worker.Current().total, 10);
  worker.Stop();
  EXPECT_EQ(waitResult.load(), 0) << "a window that closes answers nothing";
  EXPECT_TRUE(cancelled.load());
}

}  // namespace
