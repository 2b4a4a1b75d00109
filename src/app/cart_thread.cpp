#include "app/cart_thread.h"

#include <chrono>

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

// A wait for the window looks at its condition at least this often, whatever wakes it.
constexpr auto kWaitStep = std::chrono::milliseconds(20);

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

CartThread::~CartThread() { Stop(); }

void CartThread::Post(std::function<void()> job, std::string title, std::string key) {
  Enqueue({std::move(job), std::move(title), std::move(key), false});
}

void CartThread::PostInterleaved(std::function<void()> job, std::string key) {
  Enqueue({std::move(job), {}, std::move(key), true});
}

void CartThread::Enqueue(Job job) {
  std::lock_guard lock(mutex);
  if (!job.key.empty()) {
    for (const Job& waiting : queue) {
      if (waiting.key == job.key) return;
    }
  }
  queue.push_back(std::move(job));
  if (!worker.joinable()) {
    stopping = false;
    worker = std::jthread([this](std::stop_token stop) { Main(stop); });
  }
  wake.notify_all();
}

void CartThread::Main(std::stop_token stop) {
  workerId = std::this_thread::get_id();
  std::unique_lock lock(mutex);
  while (!stopping) {
    wake.wait(lock, stop, [this] { return stopping || !queue.empty(); });
    if (stopping || stop.stop_requested()) break;
    Job job = std::move(queue.front());
    queue.pop_front();
    RunJob(job, lock);
  }
  workerId = std::thread::id{};
}

void CartThread::RunJob(Job& job, std::unique_lock<std::mutex>& lock) {
  JobState state;
  state.title = job.title;
  const bool outermost = current == nullptr;
  if (outermost) current = &state;
  const bool wasRunning = running;
  running = true;
  const ThreadJob outer = threadJob;
  threadJob = {&state.done, &state.total, &state.cancel};
  lock.unlock();
  job.run();
  lock.lock();
  threadJob = outer;
  running = wasRunning;
  if (outermost) current = nullptr;
  wake.notify_all();
}

bool CartThread::TakeInterleaved(Job& job) {
  for (auto it = queue.begin(); it != queue.end(); ++it) {
    if (!it->interleaved) continue;
    job = std::move(*it);
    queue.erase(it);
    return true;
  }
  return false;
}

bool CartThread::WaitUntil(const std::function<bool()>& ready) {
  std::unique_lock lock(mutex);
  for (;;) {
    if (stopping) return false;
    lock.unlock();
    if (ready()) return true;
    lock.lock();
    Job job;
    if (TakeInterleaved(job)) {
      RunJob(job, lock);
      continue;
    }
    wake.wait_for(lock, kWaitStep);
  }
}

void CartThread::Notify() {
  std::lock_guard lock(mutex);
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

void CartThread::Stop() {
  {
    std::lock_guard lock(mutex);
    stopping = true;
    queue.clear();
    if (current != nullptr) current->cancel = true;
    wake.notify_all();
  }
  if (worker.joinable() && !OnThread()) {
    worker.request_stop();
    worker.join();
    worker = std::jthread();
  }
}

}  // namespace molvane
