// The cart thread: one job at a time in the order asked, polls that do not pile up, and a stop
// that is for good: nothing is taken or started again, what waits is dropped, the running job is
// cancelled and its waits are cut short.
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
  EXPECT_TRUE(worker.Post([&] {
    while (!go) std::this_thread::yield();
    note("long read");
  }));
  EXPECT_TRUE(worker.Post([&] { note("poll"); }, {}, "poll"));
  EXPECT_FALSE(worker.Post([&] { note("poll again"); }, {}, "poll")) << "the first still waits";
  EXPECT_TRUE(worker.Post([&] { note("button"); }));
  go = true;
  ASSERT_TRUE(testing_support::WaitIdle(worker));
  EXPECT_EQ(ran, (std::vector<std::string>{"long read", "poll", "button"}));
}

// The exact order of a window closing while a job runs: the stop begins, the job still running
// tries to queue more (as a connection check did), the window hides (which once posted a page's
// work and started the thread again), then the thread is joined.
TEST(CartThread, AStopIsForGoodAndCutsTheRunningJobShort) {
  std::atomic<int> interrupted{0};
  CartThread worker([&] { ++interrupted; });
  std::atomic<bool> running{false};
  std::atomic<bool> cancelSeen{false};
  std::atomic<int> ranAfterStop{0};
  std::atomic<bool> postedDuringStop{true};
  EXPECT_TRUE(worker.Post(
      [&] {
        const molvane::Progress progress = molvane::JobProgress();
        progress.Report(3, 10);
        running = true;
        while (!progress.Cancelled()) std::this_thread::yield();
        cancelSeen = true;
        postedDuringStop = worker.Post([&] { ++ranAfterStop; });
      },
      "Reading the log"));
  EXPECT_TRUE(worker.Post([&] { ++ranAfterStop; }));  // waits behind the long job
  while (!running) std::this_thread::yield();
  EXPECT_EQ(worker.Current().title, "Reading the log");
  EXPECT_EQ(worker.Current().total, 10);

  worker.BeginStop();
  EXPECT_FALSE(worker.Post([&] { ++ranAfterStop; })) << "hiding the window starts nothing";
  worker.Stop();
  EXPECT_TRUE(cancelSeen.load());
  EXPECT_FALSE(postedDuringStop.load());
  EXPECT_FALSE(worker.Post([&] { ++ranAfterStop; }));
  EXPECT_EQ(ranAfterStop.load(), 0) << "nothing queued before, during or after the stop ran";
  EXPECT_EQ(interrupted.load(), 1) << "the waits are cut once";
  EXPECT_TRUE(worker.Idle());
}

}  // namespace
