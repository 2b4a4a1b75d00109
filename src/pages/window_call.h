#pragma once
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

#include "app/cart_thread.h"

namespace molvane {

// Runs a closure on the window's thread, later (Qt: a queued call to the application object).
using WindowDispatch = std::function<void(std::function<void()>)>;

// Runs `call` on the window's thread and hands back its result. From the window's own thread it
// runs at once; from the cart thread it is dispatched and the cart thread waits, running the
// connection check meanwhile. When the thread stops first (the window closing), `whenClosed` is
// the answer and the call, should it still run, touches nothing of the caller's.
template <class T>
T OnWindow(CartThread& thread, const WindowDispatch& dispatch, std::function<T()> call,
           T whenClosed) {
  if (!thread.OnThread() || !dispatch) return call();
  struct Shared {
    std::mutex mutex;
    std::optional<T> result;
  };
  auto shared = std::make_shared<Shared>();
  dispatch([shared, call = std::move(call), &thread]() mutable {
    T result = call();
    {
      std::lock_guard lock(shared->mutex);
      shared->result = std::move(result);
    }
    thread.Notify();
  });
  const bool answered = thread.WaitUntil([&] {
    std::lock_guard lock(shared->mutex);
    return shared->result.has_value();
  });
  if (!answered) return whenClosed;
  std::lock_guard lock(shared->mutex);
  return std::move(*shared->result);
}

// The same for a call whose end the cart thread waits for but whose result it does not need.
inline void OnWindowAndWait(CartThread& thread, const WindowDispatch& dispatch,
                            std::function<void()> call) {
  OnWindow<bool>(
      thread, dispatch,
      [call = std::move(call)] {
        call();
        return true;
      },
      false);
}

}  // namespace molvane
