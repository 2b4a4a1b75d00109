#pragma once
#include <functional>
#include <string>

namespace molvane {

// One piece of a page's work with the cart. `work` runs where the cart is and must touch nothing
// of the page: it takes what it sends with it and hands back the step that takes what it read
// into the page, which runs where the page's fields are.
struct CartJob {
  std::function<std::function<void()>()> work;
  std::string title;  // names long work in the window's progress bar
  std::string key;    // non-empty: needless while another job with this key still waits
};

// Where a page's cart work runs. In the window it is the cart thread, and what the work read
// comes back on the window's thread; in molvanectl and in model tests it all runs at once.
class CartRunner {
 public:
  virtual ~CartRunner() = default;
  virtual void Run(CartJob job) = 0;
  // Runs `call` here as nobody's operation (a poll, a tick, a notice that the cart came or went):
  // the cart work it starts is not the operator's, even while one of the operator's operations
  // waits for an answer in a box.
  virtual void Apart(const std::function<void()>& call) { call(); }
};

// Everything at once, on the calling thread.
class ImmediateRunner : public CartRunner {
 public:
  void Run(CartJob job) override { job.work()(); }
};

}  // namespace molvane
