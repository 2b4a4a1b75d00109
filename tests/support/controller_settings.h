#pragma once
#include <atomic>
#include <chrono>
#include <thread>

#include "app/cart_controller.h"
#include "app/transfer_session.h"

namespace testing_support {

// Waits until the cart thread has done all it was asked (true), or gives up after `boundMs`.
inline bool WaitIdle(molvane::CartThread& worker, int boundMs = 20000) {
  using Clock = std::chrono::steady_clock;
  const auto end = Clock::now() + std::chrono::milliseconds(boundMs);
  int idleTurns = 0;
  while (Clock::now() < end) {
    idleTurns = worker.Idle() ? idleTurns + 1 : 0;
    if (idleTurns >= 2) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return false;
}

// One of the controller's pauses or time-outs, shortened (or lengthened) for a test.
template <class T>
void SetTiming(molvane::CartController& controller, T molvane::Timing::*field, T value) {
  molvane::Timing timing = controller.GetTiming();
  timing.*field = value;
  controller.SetTiming(timing);
}

// One field of where discovery looks.
template <class T, class V>
void SetDiscovery(molvane::CartController& controller, T molvane::DiscoverySource::*field,
                  V value) {
  molvane::DiscoverySource source = controller.GetDiscovery();
  source.*field = value;
  controller.SetDiscovery(source);
}

// A transfer that holds the port until the test lets it go, as a firmware update or a bitmap
// upload does: the controller is busy meanwhile, exactly as it is for a real one.
class HeldTransfer {
 public:
  explicit HeldTransfer(
      molvane::CartController& controller,
      molvane::CartController::TransferKind kind = molvane::CartController::TransferKind::Bitmap,
      molvane::Outcome ending = molvane::Outcome::Success())
      : controller(controller) {
    started =
        static_cast<bool>(controller.StartTransfer(kind, [this, ending](molvane::TransferSession&) {
          while (!released.load()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
          return ending;
        }));
  }
  ~HeldTransfer() { Release(); }
  HeldTransfer(const HeldTransfer&) = delete;
  HeldTransfer& operator=(const HeldTransfer&) = delete;

  // Ends the transfer and waits for its worker.
  void Release() {
    released = true;
    controller.WaitForTransfer();
  }

  bool started = false;

 private:
  molvane::CartController& controller;
  std::atomic<bool> released{false};
};

}  // namespace testing_support
