// Following a transfer worker from the terminal: its progress, Ctrl-C, and its outcome.
#include "cli/transfer_progress.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "cli/stop_signals.h"
#include "loader/bootloader_header.h"

namespace molvanectl {
namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(100);
constexpr int kBarWidth = 30;

// Lock-free, so the signal handler may set it.
std::atomic<bool> interruptRequested{false};

void OnInterrupt() { interruptRequested = true; }

// On a terminal one line is redrawn as a bar; into a file or a pipe each new status is a line.
class ProgressView {
 public:
  ProgressView(const molvane::CartController& controller, bool firmware)
      : controller(controller), firmware(firmware), terminal(::isatty(::fileno(stdout)) != 0) {}

  void Show(const std::string& status) {
    if (status.empty() || status == last) return;
    last = status;
    const int percent = molvane::WritingPercent(status);
    if (!terminal) {
      std::printf("%s\n", status.c_str());
    } else if (percent < 0) {
      std::printf("\r\033[K%s", status.c_str());
    } else {
      DrawBar(percent);
    }
    std::fflush(stdout);
  }

  void End() {
    if (terminal && !last.empty()) std::printf("\n");
  }

 private:
  // The page count is known once the header has set the page size, which is before the first
  // "Writing" status is posted.
  std::string PagesText() const {
    const molvane::CartController::TransferCount progress = controller.TransferProgress();
    if (!firmware || progress.total <= 0) return {};
    return "  page " + std::to_string(progress.done + 1) + " of " + std::to_string(progress.total);
  }

  void DrawBar(int percent) {
    const int filled = std::min(kBarWidth, std::max(0, percent * kBarWidth / 100));
    std::printf("\r\033[K[%s%s] %3d%%%s", std::string(filled, '#').c_str(),
                std::string(kBarWidth - filled, '.').c_str(), percent, PagesText().c_str());
  }

  const molvane::CartController& controller;
  bool firmware;
  bool terminal;
  std::string last;
};

}  // namespace

void CatchInterrupt() {
  interruptRequested = false;
  CatchStopSignals(OnInterrupt);
}

void FollowTransfer(CliContext& context, molvane::CartWork::Kind kind, const std::string& board,
                    const std::string& file) {
  auto& controller = context.controller;
  ProgressView view(controller, kind == molvane::CartWork::Kind::Firmware);
  bool cancelAsked = false;
  while (controller.IsBusy()) {
    if (interruptRequested != 0 && !cancelAsked) {
      controller.CancelTransfer();
      cancelAsked = true;
    }
    view.Show(controller.GetStatusText());
    std::this_thread::sleep_for(kPollInterval);
  }
  controller.WaitForTransfer();
  ReleaseStopSignals();
  view.End();
  const molvane::Outcome outcome = controller.TransferOutcome();
  if (outcome) {
    std::printf("%s\n", outcome.text.c_str());
  } else {
    context.Fail(outcome.text);
  }
  context.fleet.WorkDone(context, kind, board, file, outcome.ok, outcome.text);
}

}  // namespace molvanectl
