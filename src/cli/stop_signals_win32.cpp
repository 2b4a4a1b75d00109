#include <csignal>

#include "cli/stop_signals.h"

namespace molvanectl {
namespace {

// A console's Ctrl-C comes as SIGINT; there is no SIGHUP, and SIGTERM is never raised from
// outside.
void (*volatile stopHandler)() = nullptr;

void OnStopSignal(int) {
  if (stopHandler != nullptr) stopHandler();
  std::signal(SIGINT, SIG_DFL);
}

}  // namespace

void CatchStopSignals(void (*onStop)()) {
  stopHandler = onStop;
  std::signal(SIGINT, OnStopSignal);
}

void ReleaseStopSignals() { std::signal(SIGINT, SIG_DFL); }

}  // namespace molvanectl
