#pragma once
// A simulated cart behind a 38400-baud paced pseudo-terminal and a controller connected to it,
// each benchmark run in a folder of its own. Header only: every .cpp in this folder is a program.
#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>

#include "app/cart_controller.h"
#include "sim/pty_transport.h"
#include "sim/sim_cart.h"

namespace bench {

// A fresh folder under /tmp for the traces and files of one run, removed afterwards.
class BenchFolder {
 public:
  BenchFolder() {
    char pattern[] = "/tmp/molvane_bench_XXXXXX";
    if (::mkdtemp(pattern) != nullptr) path = pattern;
  }
  ~BenchFolder() {
    std::error_code ignored;
    if (!path.empty()) std::filesystem::remove_all(path, ignored);
  }
  BenchFolder(const BenchFolder&) = delete;
  BenchFolder& operator=(const BenchFolder&) = delete;

  bool Ok() const { return !path.empty(); }
  const std::string& Path() const { return path; }
  std::string File(const std::string& name) const { return path + "/" + name; }

 private:
  std::string path;
};

struct BenchRig {
  explicit BenchRig(cartsim::SimCart::Options options = {})
      : sim(std::move(options)),
        link(sim, cartsim::PtyTransport::Options{true, {}}),
        controller(folder.Path(), folder.Path()) {
    controller.SetBootlogFolder(folder.Path());
    started = folder.Ok() && link.Start();
  }

  // Opens and probes the port as molvanectl --port does, then lets the rest of the probe's
  // answer cross the paced line so that it cannot be taken for part of the next exchange.
  bool Connect() {
    if (!started ||
        controller.ConnectPort(link.DevicePath()) != molvane::CartController::ProbeResult::Cart) {
      std::printf("error: the controller did not find the simulated cart\n");
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return true;
  }

  // Runs f on the simulated cart with it locked.
  template <class F>
  auto Sim(F&& f) {
    return sim.Inspect([&](cartsim::SimCart& s) { return f(s); });
  }

  BenchFolder folder;
  cartsim::SimCart sim;
  cartsim::PtyTransport link;
  molvane::CartController controller;
  bool started = false;
};

}  // namespace bench
