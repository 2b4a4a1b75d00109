#pragma once
#include <chrono>
#include <thread>

namespace testing_support {

// Polls `condition` until it holds or `ms` have passed; false on the bound. For what another
// thread (the simulator, a worker, the kernel) does a moment after the test asked for it.
template <class F>
bool Eventually(F&& condition, int ms = 5000, int pollMs = 5) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(pollMs));
  }
  return true;
}

}  // namespace testing_support
