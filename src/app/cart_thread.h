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

// The one thread that talks to the cart for the window: page operations, polls and ticks, the
// connection check, imports, backups, restores and the report's probes run here one at a time,
// in the order they were asked for, so the window's own thread only draws and takes input.
//
// A job that needs the window meanwhile (a question, a box, its fields) waits for it with
// WaitUntil; the connection check, posted as interleaved, still runs during that wait, so the
// status field keeps its rhythm whatever box is open.
class CartThread {
 public:
  // What runs now, for the window's progress bar: empty title when nothing worth showing runs.
  struct Running {
    std::string title;
    int done = 0;
    int total = 0;
    bool cancelling = false;
  };

  CartThread() = default;
  ~CartThread();
  CartThread(const CartThread&) = delete;
  CartThread& operator=(const CartThread&) = delete;

  // Queues a job. `title` names long work for the window ("Reading the log"); a non-empty `key`
  // drops the job while another with that key waits to run, so a tick or a poll never piles up
  // behind a long read.
  void Post(std::function<void()> job, std::string title = {}, std::string key = {});
  // Like Post, and the job may also run while another waits for the window.
  void PostInterleaved(std::function<void()> job, std::string key);

  // On the cart thread: waits until `ready` holds, running interleaved jobs meanwhile. False,
  // without waiting longer, once the thread is stopping. Whoever makes `ready` true calls Notify.
  bool WaitUntil(const std::function<bool()>& ready);
  void Notify();

  bool OnThread() const { return std::this_thread::get_id() == workerId.load(); }
  // Nothing queued and nothing running.
  bool Idle() const;
  Running Current() const;
  // Asks the running job to stop between commands (its Progress sees the cancel).
  void CancelCurrent();
  // Cancels the running job, drops what waits, and joins the thread. A later Post starts it
  // again.
  void Stop();

 private:
  struct Job {
    std::function<void()> run;
    std::string title;
    std::string key;
    bool interleaved = false;
  };
  struct JobState {
    std::string title;
    std::atomic<int> done{0};
    std::atomic<int> total{0};
    std::atomic<bool> cancel{false};
  };

  void Enqueue(Job job);
  void Main(std::stop_token stop);
  // Runs one job with its state as the thread's current work. Called with `lock` held; returns
  // with it held.
  void RunJob(Job& job, std::unique_lock<std::mutex>& lock);
  bool TakeInterleaved(Job& job);

  mutable std::mutex mutex;
  std::condition_variable_any wake;
  std::deque<Job> queue;
  bool running = false;
  bool stopping = false;
  JobState* current = nullptr;  // the outermost job running, for the window
  std::atomic<std::thread::id> workerId{};
  std::jthread worker;
};

// The progress of the job the calling thread runs on a cart thread: it reports into the job's
// state and sees its cancel. Elsewhere (molvanectl, tests calling a page directly) it reports
// nowhere and is never cancelled.
Progress JobProgress();

}  // namespace molvane
