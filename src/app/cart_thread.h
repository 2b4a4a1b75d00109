#pragma once
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "app/progress.h"

namespace molvane {

// The one thread that talks to the cart for the window: page operations, polls, the connection
// check, imports, backups, restores and the report's probes run here one at a time, in the
// order they were asked for, so the window's own thread only draws and takes input. A job never
// waits for the window: it takes what it sends with it and hands back what it read.
//
// It is started by the first job and stopped once: from the moment its stop begins it takes no
// job and starts no thread again, drops what waits, and the job that runs is cancelled and its
// waits cut short, so a closing window is never held up by the cart.
class CartThread {
 public:
  // What runs now, for the window's progress bar: empty title when nothing worth showing runs.
  struct Running {
    std::string title;
    int done = 0;
    int total = 0;
    bool cancelling = false;
  };

  // `onStopping` runs when the stop begins, on the stopping thread: it cuts the running job's
  // waits short (the controller interrupts its ports and pauses).
  explicit CartThread(std::function<void()> onStopping = {});
  ~CartThread();
  CartThread(const CartThread&) = delete;
  CartThread& operator=(const CartThread&) = delete;

  // Queues a job; false when it was not taken: the stop has begun, or another job with the same
  // non-empty `key` still waits to run (so a poll never piles up behind a long read). `title`
  // names long work for the window ("Reading the log").
  bool Post(std::function<void()> job, std::string title = {}, std::string key = {});

  // Nothing queued and nothing running.
  bool Idle() const;
  bool Stopping() const { return stopping.load(); }
  Running Current() const;
  // Asks the running job to stop between commands (its Progress sees the cancel).
  void CancelCurrent();
  // Takes no more jobs, drops what waits, cancels the running job and cuts its waits short.
  // Returns at once; the window calls it before it hides.
  void BeginStop();
  // BeginStop, then waits for the running job to end.
  void Stop();

 private:
  struct Job {
    std::function<void()> run;
    std::string title;
    std::string key;
  };
  struct JobState {
    std::string title;
    std::atomic<int> done{0};
    std::atomic<int> total{0};
    std::atomic<bool> cancel{false};
  };

  void Main(std::stop_token stop);
  // Runs one job with its state as the thread's current work. Called with `lock` held; returns
  // with it held.
  void RunJob(Job& job, std::unique_lock<std::mutex>& lock);

  std::function<void()> onStopping;
  mutable std::mutex mutex;
  std::condition_variable_any wake;
  std::deque<Job> queue;
  bool running = false;
  std::atomic<bool> stopping{false};
  JobState* current = nullptr;
  std::jthread worker;
};

// The progress of the job the calling thread runs on a cart thread: it reports into the job's
// state and sees its cancel. Elsewhere (molvanectl, tests calling a page directly) it reports
// nowhere and is never cancelled.
Progress JobProgress();

}  // namespace molvane
