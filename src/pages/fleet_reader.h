#pragma once
#include <functional>
#include <memory>
#include <string>

#include "app/outcome.h"
#include "fleet/fleet_location.h"
#include "pages/threaded_runner.h"

namespace molvane {

class CartController;
class FleetStore;

// The store the desktop program reads: MOLVANE_FLEET, else Molvane.cfg's <FLEET> [STORE], else
// the embedded file in the settings folder.
FleetLocation DesktopFleetLocation(const CartController& controller);

// The fleet store's queries, off the window's thread: a server that is away takes its
// connection time-out there, and the cart thread, which may be in the middle of a log read,
// is not held up by them nor they by it. Queries run one at a time in the order asked, on a
// thread of the reader's own that owns the store; what a query hands back runs on the window's
// thread, and not at all once the reader is gone.
class FleetReader {
 public:
  // Runs on the reader's thread with the store; returns the step for the window's thread.
  using Query = std::function<std::function<void()>(FleetStore& store)>;

  FleetReader(FleetLocation location, WindowDispatch toWindow);
  // Does not wait for a query that is still running (a server's time-out): it ends by itself
  // and what it read is dropped.
  ~FleetReader();
  FleetReader(const FleetReader&) = delete;
  FleetReader& operator=(const FleetReader&) = delete;

  // The failure that holds before any query: the store turned off, a setting not understood, an
  // embedded file that does not exist yet. Success: queries may be asked.
  Outcome Usable() const;
  void Ask(Query query);
  // Queries asked whose step has not run yet on the window's thread.
  int Pending() const { return pending; }
  // Where the store is, as the operator may read it: the file, or the server without password.
  std::string Where() const { return ShownLocation(location); }

 private:
  struct Shared;
  FleetLocation location;
  WindowDispatch toWindow;
  std::shared_ptr<Shared> shared;
  int pending = 0;
  std::shared_ptr<FleetReader*> self = std::make_shared<FleetReader*>(this);
};

}  // namespace molvane
