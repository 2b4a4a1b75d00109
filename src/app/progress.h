#pragma once
#include <atomic>
#include <functional>

namespace molvane {

// How long work is followed and stopped: `report` hears how far it got (records read of the
// most there can be, lines sent of the file's), `cancel` asks it to stop between commands. Both
// may be left empty.
struct Progress {
  std::function<void(int done, int total)> report;
  const std::atomic<bool>* cancel = nullptr;

  bool Cancelled() const { return cancel != nullptr && cancel->load(); }
  void Report(int done, int total) const {
    if (report) report(done, total);
  }
};

}  // namespace molvane
