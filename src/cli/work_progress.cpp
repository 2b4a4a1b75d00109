#include "cli/work_progress.h"

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <utility>

#include "cli/stop_signals.h"

namespace molvanectl {
namespace {

// Lock-free, so the signal handler may set it.
std::atomic<bool> stopRequested{false};

void OnStop() { stopRequested = true; }

}  // namespace

WorkProgress::WorkProgress(std::string what)
    : what(std::move(what)), terminal(::isatty(::fileno(stderr)) != 0) {
  stopRequested = false;
  progress.cancel = &stopRequested;
  progress.report = [this](int done, int total) { Show(done, total); };
  CatchStopSignals(OnStop);
}

WorkProgress::~WorkProgress() {
  ReleaseStopSignals();
  if (shown) std::fprintf(stderr, "\n");
}

void WorkProgress::Show(int done, int total) {
  if (!terminal) return;
  std::fprintf(stderr, "\r\033[K%s: %d of %d%s", what.c_str(), done, total,
               stopRequested ? " (stopping)" : "");
  std::fflush(stderr);
  shown = true;
}

}  // namespace molvanectl
