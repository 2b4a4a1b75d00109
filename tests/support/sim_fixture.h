#pragma once
#include <string>

#include "app/cart_controller.h"
#include "sim/pty_transport.h"
#include "sim/sim_cart.h"
#include "support/temp_dir.h"

namespace testing_support {

// A simulated cart with no PINs and an empty log.
inline cartsim::SimCart::Options EmptyCart() {
  cartsim::SimCart::Options options;
  options.cart.startEmpty = true;
  return options;
}

// A simulated cart on a real pseudo-terminal and a controller in its own folder. Connect() opens
// and probes the port the way molvanectl --port does. `linked`: the cart is reached through a
// link that follows it when it is plugged in again (Port()), as a named adapter is.
struct SimFixture {
  explicit SimFixture(cartsim::SimCart::Options options = {}, bool pace = false,
                      bool linked = false)
      : sim(std::move(options)),
        link(sim, cartsim::PtyTransport::Options{pace, linked ? dir.File("cart") : ""}),
        controller(dir.Path(), dir.Path()),
        linkPath(linked ? dir.File("cart") : "") {
    started = link.Start();
  }

  // The name the cart's port goes by.
  std::string Port() const { return linkPath.empty() ? link.DevicePath() : linkPath; }

  bool Connect() {
    return started && controller.ConnectPort(Port()) == molvane::CartController::ProbeResult::Cart;
  }
  std::string Trace() const { return ReadFile(controller.TracePath()); }

  // Runs f on the simulated cart with it locked.
  template <class F>
  auto Cart(F&& f) {
    return sim.Inspect([&](cartsim::SimCart& s) { return f(s.Cart()); });
  }

  TempDir dir;
  cartsim::SimCart sim;
  cartsim::PtyTransport link;
  molvane::CartController controller;
  std::string linkPath;
  bool started = false;
};

}  // namespace testing_support
