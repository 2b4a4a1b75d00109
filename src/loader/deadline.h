#pragma once
#include <algorithm>
#include <atomic>
#include <chrono>

namespace molvane {

// A budget of time that starts when it is made, and the flag that ends it early: the cancel
// request, which the controller also raises when it shuts down. Every wait of the loader counts
// against one, and looks at the clock whether or not bytes keep coming, so a board that keeps
// talking cannot stretch a wait past its bound.
class Deadline {
 public:
  using Clock = std::chrono::steady_clock;

  explicit Deadline(int ms, const std::atomic<int>* stop = nullptr)
      : end(Clock::now() + std::chrono::milliseconds(std::max(ms, 0))), stop(stop) {}

  bool Stopped() const { return stop != nullptr && stop->load() != 0; }
  bool Expired() const { return Clock::now() >= end; }
  bool Over() const { return Stopped() || Expired(); }

  // Whole milliseconds left, rounded up, so that 0 means the time is up.
  int RemainingMs() const {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now()).count();
    return static_cast<int>(std::max<decltype(left)>(left, 0));
  }

  // How long the next sleep or wait on the port may be: at most `ms`, never past the end, and
  // short enough to see the stop flag soon.
  int StepMs(int ms) const {
    const int step = std::min(ms, RemainingMs());
    return stop != nullptr ? std::min(step, kStopPollMs) : step;
  }

  static constexpr int kStopPollMs = 20;

 private:
  Clock::time_point end;
  const std::atomic<int>* stop;
};

}  // namespace molvane
