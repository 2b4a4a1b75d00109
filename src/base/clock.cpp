#include "base/clock.h"

#include <ctime>
#include <mutex>

namespace molvane {
namespace {
std::mutex clockMutex;
std::function<std::int64_t()>& TestClock() {
  static std::function<std::int64_t()> clock;
  return clock;
}
}  // namespace

std::int64_t Now() {
  {
    std::lock_guard lock(clockMutex);
    if (TestClock()) return TestClock()();
  }
  return static_cast<std::int64_t>(std::time(nullptr));
}

void SetClockForTest(std::function<std::int64_t()> clock) {
  std::lock_guard lock(clockMutex);
  TestClock() = std::move(clock);
}

}  // namespace molvane
