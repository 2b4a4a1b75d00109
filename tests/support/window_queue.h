#pragma once
#include <chrono>
#include <deque>
#include <functional>
#include <mutex>

#include "pages/threaded_runner.h"

namespace testing_support {

// A window's thread without a window: what the cart thread hands back waits here until the test
// thread, standing in for the window's, runs it.
class WindowQueue {
 public:
  molvane::WindowDispatch Dispatch() {
    return [this](std::function<void()> call) {
      std::lock_guard lock(mutex);
      calls.push_back(std::move(call));
    };
  }
  // Runs what has arrived; true when something ran.
  bool RunPending() {
    std::deque<std::function<void()>> arrived;
    {
      std::lock_guard lock(mutex);
      arrived.swap(calls);
    }
    for (auto& call : arrived) call();
    return !arrived.empty();
  }
  // Runs what arrives until `done` holds or the time is up; `done` is looked at here only.
  bool RunUntil(const std::function<bool()>& done, int boundMs = 20000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(boundMs);
    while (!done()) {
      if (std::chrono::steady_clock::now() >= end) return false;
      if (!RunPending()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
  }

 private:
  std::mutex mutex;
  std::deque<std::function<void()>> calls;
};

}  // namespace testing_support
