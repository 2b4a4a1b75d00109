#include "app/cart_thread.h"

namespace molvane {
namespace {

// The job the calling thread runs, so that operations deep below reach its progress and cancel
// without every signature carrying them.
struct ThreadJob {
  std::atomic<int>* done = nullptr;
  std::atomic<int>* total = nullptr;
  const std::atomic<bool>* cancel = nullptr;
};
thread_local ThreadJob threadJob;

}  // namespace

Progress JobProgress() {
  const ThreadJob job = threadJob;
  if (job.done == nullptr) return {};
  return {[job](int done, int total) {
            job.total->store(total);
            job.done->store(done);
          },
          job.cancel};
}

CartThread::CartThread(std::function<void()> onStopping) : onStopping(std::move(onStopping)) {}

CartThread::~CartThread() { Stop(); }

bool CartThread::Post(std::function<void()> job, std::string title, std::string key) {
  std::lock_guard lock(mutex);
  if (stopping) return false;
  if (!key.empty()) {
    for (const Job& waiting : queue) {
      if (waiting.key == key) return false;
    }
  }
  queue.push_back({std::move(job), std::move(title), std::move(key)});
  if (!worker.joinable()) worker = std::jthread([this](std::stop_token stop) { Main(stop); });
  wake.notify_all();
  return true;
}

void CartThread::Main(std::stop_token stop) {
  std::unique_lock lock(mutex);
  for (;;) {
    wake.wait(lock, stop, [this] { return stopping || !queue.empty(); });
    if (stopping || stop.stop_requested()) return;
    Job job = std::move(queue.front());
    queue.pop_front();
    RunJob(job, lock);
  }
}

void CartThread::RunJob(Job& job, std::unique_lock<std::mutex>& lock) {
  JobState state;
  state.title = job.title;
  current = &state;
  running = true;
  threadJob = {&state.done, &state.total, &state.cancel};
  lock.unlock();
  job.run();
  // The job's closure goes before the thread is idle: what it holds must not outlive its turn.
  job.run = nullptr;
  lock.lock();
  threadJob = {};
  running = false;
  current = nullptr;
  wake.notify_all();
}

bool CartThread::Idle() const {
  std::lock_guard lock(mutex);
  return queue.empty() && !running;
}

CartThread::Running CartThread::Current() const {
  std::lock_guard lock(mutex);
  if (current == nullptr || current->title.empty()) return {};
  return {current->title, current->done.load(), current->total.load(), current->cancel.load()};
}

void CartThread::CancelCurrent() {
  std::lock_guard lock(mutex);
  if (current != nullptr) current->cancel = true;
}

void CartThread::BeginStop() {
  std::deque<Job> dropped;
  {
    std::lock_guard lock(mutex);
    if (stopping) return;
    stopping = true;
    dropped.swap(queue);
    if (current != nullptr) current->cancel = true;
    wake.notify_all();
  }
  // Dropped outside the lock: a job's closure may hold what takes a lock of its own to end.
  dropped.clear();
  if (onStopping) onStopping();
}

void CartThread::Stop() {
  BeginStop();
  if (worker.joinable() && worker.get_id() != std::this_thread::get_id()) {
    worker.request_stop();
    worker.join();
  }
}

}  // namespace molvane
