#include <signal.h>

#include <cstddef>

#include "cli/stop_signals.h"

namespace molvanectl {
namespace {

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};
constexpr std::size_t kCount = sizeof kStopSignals / sizeof kStopSignals[0];

void (*volatile stopHandler)() = nullptr;
struct sigaction before[kCount];
volatile sig_atomic_t caught[kCount] = {};

void GiveBack() {
  for (std::size_t i = 0; i < kCount; ++i) {
    if (caught[i] != 0) sigaction(kStopSignals[i], &before[i], nullptr);  // safe in a handler
    caught[i] = 0;
  }
}

void OnStopSignal(int) {
  if (stopHandler != nullptr) stopHandler();
  GiveBack();
}

}  // namespace

void CatchStopSignals(void (*onStop)()) {
  GiveBack();
  stopHandler = onStop;
  struct sigaction action = {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  for (const int number : kStopSignals) sigaddset(&action.sa_mask, number);
  // As signal() does here: a read or a wait interrupted by it goes on.
  action.sa_flags = SA_RESTART;
  for (std::size_t i = 0; i < kCount; ++i) {
    sigaction(kStopSignals[i], nullptr, &before[i]);
    // A signal ignored from the start (nohup) stays ignored.
    if (before[i].sa_handler == SIG_IGN) continue;
    caught[i] = sigaction(kStopSignals[i], &action, nullptr) == 0 ? 1 : 0;
  }
}

void ReleaseStopSignals() { GiveBack(); }

}  // namespace molvanectl
