#pragma once
#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>

#include "app/outcome.h"
#include "fleet/fleet_records.h"
#include "pages/cart_runner.h"

namespace molvane {

class CartController;
class CartThread;
class FleetRecorder;
class UiServices;

// Whatever works with the cart for the window (a page, the main window's checks, the File
// menu), all of it on the window's thread. What it asks of the cart runs through OnCart: the
// work takes the values it sends as arguments and returns what it read, and only that is taken
// in afterwards, so a key typed while the cart answered is never overwritten by a copy taken
// before, and the window never waits for the cart.
class CartClient {
 public:
  CartClient(CartController& controller, UiServices& ui);
  virtual ~CartClient();
  CartClient(const CartClient&) = delete;
  CartClient& operator=(const CartClient&) = delete;

  // Where the cart work runs; without one, at once on the calling thread.
  void SetRunner(CartRunner* runner) { cartRunner = runner; }
  // The thread the window runs cart work on.
  CartThread& Worker() const;
  // Runs `call` as nobody's operation (CartRunner::Apart): the window's timers and notices.
  void Apart(const std::function<void()>& call);
  // What the window's cart work records in the fleet store, one for the whole window; without
  // it nothing is recorded.
  void SetFleetRecorder(std::shared_ptr<FleetRecorder> recorder);

 protected:
  // How a piece of cart work is run and shown.
  struct Work {
    std::string title = {};  // names it in the progress bar
    std::string key = {};    // needless while another with this key waits (polls, ticks)
    bool waitCursor = false;
    // Skipped when the client is no longer shown by the time the cart comes to it: a tab
    // passed over on the way to another costs no reading.
    bool whileShown = false;
  };

  // Runs `read(CartController&)` with the cart and then `apply(result)` here. `read` must
  // capture no reference to the client: it may run after the client is gone, and on another
  // thread.
  template <class Read, class Apply>
  void OnCart(Read read, Apply apply) {
    OnCart(std::move(read), std::move(apply), Work{});
  }
  template <class Read, class Apply>
  void OnCart(Read read, Apply apply, Work how) {
    using Value = std::invoke_result_t<Read&, CartController&>;
    if (how.waitCursor) BeginWaitCursor();
    Run({[read = std::move(read), apply = std::move(apply), &controller = controller,
          shownNow = shownNow, whileShown = how.whileShown,
          cursor = how.waitCursor ? this : nullptr]() mutable -> std::function<void()> {
           std::optional<Value> value;
           if (!whileShown || shownNow->load()) value.emplace(read(controller));
           return [apply = std::move(apply), value = std::move(value), cursor]() mutable {
             if (cursor != nullptr) cursor->EndWaitCursor();
             if (value) apply(std::move(*value));
           };
         },
         std::move(how.title), std::move(how.key)});
  }

  // Whether work asked for `whileShown` still runs.
  void SetShownForWork(bool shown) { shownNow->store(shown); }
  UiServices& Ui() const { return ui; }
  // What the window may read of the link's state at any time (flags, texts, settings).
  const CartController& Link() const { return controller; }
  // Makes `text` the controller's message: the status field's tip shows it, as the box did.
  void TellLink(const std::string& text) const;
  // The recorder, for a read to capture by value; it is used on the cart thread only.
  std::shared_ptr<FleetRecorder> Fleet() const { return fleet; }
  // The run's one warning of a record that was not kept, when a read brings it.
  void TellFleet(const std::string& warning) const;
  // Records how a transfer (`work`'s kind, board and file) ended, on the cart thread.
  void RecordTransfer(CartWork work, const Outcome& ended);

  UiServices& ui;

 private:
  void Run(CartJob job);
  void BeginWaitCursor();
  void EndWaitCursor();

  CartController& controller;
  // The shown state as the cart thread may read it.
  std::shared_ptr<std::atomic<bool>> shownNow = std::make_shared<std::atomic<bool>>(true);
  CartRunner* cartRunner = nullptr;
  std::shared_ptr<FleetRecorder> fleet;
  ImmediateRunner immediate;
};

}  // namespace molvane
