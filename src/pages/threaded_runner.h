#pragma once
#include <functional>
#include <memory>
#include <string>

#include "pages/cart_runner.h"

namespace molvane {

class CartThread;

// Runs a closure later on the window's thread (Qt: a queued call).
using WindowDispatch = std::function<void(std::function<void()>)>;

// A page's cart work on the cart thread, and what it read back on the window's thread. What a
// job hands back is dropped once the runner is gone, so nothing reaches a page that was
// destroyed meanwhile, and the work itself holds nothing of the page.
//
// The work an operator asked for (a button, and whatever its results go on to ask for) is held
// until it has ended: the view keeps the page's buttons off meanwhile.
class ThreadedRunner : public CartRunner {
 public:
  ThreadedRunner(CartThread& thread, WindowDispatch toWindow);
  ~ThreadedRunner() override = default;
  ThreadedRunner(const ThreadedRunner&) = delete;
  ThreadedRunner& operator=(const ThreadedRunner&) = delete;

  void Run(CartJob job) override;

  // Runs `operation` (on the window's thread) as the operator's own: the cart work it starts,
  // and the work its results start in turn, count as held until the last has ended. The
  // progress bar names it by `title`, and work with a title of its own as a step of it
  // ("Paste (reading the PIN list)").
  void AsOperatorAction(const std::string& title, const std::function<void()>& operation);
  void Apart(const std::function<void()>& call) override;
  // How many pieces of the operator's work have not ended yet.
  int Held() const { return held; }
  // Called on the window's thread whenever Held() changes.
  std::function<void()> onHeldChanged;

 private:
  void ChangeHeld(int by);

  CartThread& thread;
  WindowDispatch toWindow;
  int held = 0;
  bool inAction = false;
  std::string actionTitle;
  // The jobs' way back holds only a weak reference: once the runner is destroyed, it is gone.
  std::shared_ptr<ThreadedRunner*> self = std::make_shared<ThreadedRunner*>(this);
};

}  // namespace molvane
