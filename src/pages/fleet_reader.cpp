#include "pages/fleet_reader.h"

#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <mutex>
#include <thread>

#include "app/cart_controller.h"
#include "app/config_entry.h"
#include "app/settings_folder.h"
#include "fleet/fleet_store.h"

namespace molvane {

FleetLocation DesktopFleetLocation(const CartController& controller) {
  const char* environment = std::getenv("MOLVANE_FLEET");
  return ChooseFleetLocation({}, environment != nullptr ? environment : "",
                             ReadConfigEntry(controller.ConfigPath(), kFleetSection, kFleetKey),
                             SettingsFolder(controller.GetProgramFolder()));
}

// What the reader's thread shares with the reader; it outlives the reader while a query runs.
struct FleetReader::Shared {
  explicit Shared(FleetLocation location) : store(std::move(location)) {}
  FleetStore store;
  std::mutex mutex;
  std::condition_variable wake;
  std::deque<std::function<void()>> jobs;
  bool stop = false;
  bool running = false;  // a job is under way
  std::thread thread;

  void Loop() {
    for (;;) {
      std::function<void()> job;
      {
        std::unique_lock lock(mutex);
        running = false;
        wake.wait(lock, [this] { return stop || !jobs.empty(); });
        if (stop) return;
        job = std::move(jobs.front());
        jobs.pop_front();
        running = true;
      }
      job();
    }
  }
};

FleetReader::FleetReader(FleetLocation location, WindowDispatch toWindow)
    : location(location), toWindow(std::move(toWindow)) {}

FleetReader::~FleetReader() {
  if (!shared) return;
  bool busy = false;
  {
    std::lock_guard lock(shared->mutex);
    shared->stop = true;
    busy = shared->running;
  }
  shared->wake.notify_all();
  // An idle thread ends at once; one in a query keeps what it needs and ends after it.
  if (busy) {
    shared->thread.detach();
  } else {
    shared->thread.join();
  }
}

Outcome FleetReader::Usable() const {
  if (!location.refusal.empty()) return Outcome::Failure(location.refusal);
  if (location.kind == FleetLocation::Kind::Off) {
    return Outcome::Failure(
        "The fleet store is turned off: Molvane.cfg's <FLEET> [STORE] or MOLVANE_FLEET says "
        "\"off\".");
  }
  std::error_code error;
  if (location.kind == FleetLocation::Kind::Embedded &&
      !std::filesystem::exists(location.file, error)) {
    return Outcome::Failure("There is no fleet store at " + location.file +
                            " yet: no cart has been recorded on this PC.");
  }
  return Outcome::Success();
}

void FleetReader::Ask(Query query) {
  if (!shared) {
    shared = std::make_shared<Shared>(location);
    // The thread keeps the state alive: it may outlive the reader while a query runs.
    shared->thread = std::thread([state = shared] { state->Loop(); });
  }
  ++pending;
  std::weak_ptr<FleetReader*> back = self;
  auto job = [state = shared.get(), query = std::move(query), toWindow = toWindow, back] {
    std::function<void()> step = query(state->store);
    toWindow([back, step = std::move(step)] {
      const auto reader = back.lock();
      if (!reader) return;
      --(*reader)->pending;
      if (step) step();
    });
  };
  {
    std::lock_guard lock(shared->mutex);
    shared->jobs.push_back(std::move(job));
  }
  shared->wake.notify_one();
}

}  // namespace molvane
