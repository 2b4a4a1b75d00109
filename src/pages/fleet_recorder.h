#pragma once
#include <memory>
#include <string>
#include <vector>

#include "app/cart_data.h"
#include "app/outcome.h"
#include "app/progress.h"
#include "fleet/fleet_records.h"

namespace molvane {

class CartController;
class FleetStore;

// What the fleet store learns while the cart work goes on, without the operator asking: the
// hooks molvanectl's commands and the window's cart work call. The store is chosen when first
// needed (molvanectl's option, MOLVANE_FLEET, Molvane.cfg's entry, else the embedded file in the
// settings folder) and is used only by the thread that does the cart work, which is the thread
// that calls all of these. A record that cannot be kept never changes the work's outcome: the
// first warning of a run waits for TakeWarning, and later ones are not said again. With the store
// off nothing is read from the cart for it; a build without the store records nothing.
class FleetRecorder {
 public:
  explicit FleetRecorder(std::string option = {});
  ~FleetRecorder();
  FleetRecorder(const FleetRecorder&) = delete;
  FleetRecorder& operator=(const FleetRecorder&) = delete;

  // Whether records are kept in this run.
  bool InUse(const CartController& controller);
  // A cart answers: the visit's sighting, once.
  void Seen(CartController& controller);
  // No cart answers any more: the next one found, even the same one again, is a new visit.
  void Gone();
  // The PIN list was read whole: its count and ages go with the sighting (Finish).
  void PinsRead(const std::vector<PinEntry>& pins);
  void PinsRead(const PinList& list);
  // The sighting, and the PIN list read since the last Finish.
  void Finish(CartController& controller);
  // The log was read whole: its events go to the cart's archive now. A failure, with why, only
  // when the store is in use and the events are kept nowhere.
  Outcome ArchiveLog(CartController& controller, const EventLog& log);
  // Reads the log and archives it, for work that does not read it itself (a backup).
  void ArchiveCartLog(CartController& controller, const Progress& progress = {});
  // Before a transfer, while the cart still runs its firmware: who it is.
  void BeforeTransfer(CartController& controller);
  // A backup, restore or update, once it has ended.
  void WorkDone(CartController& controller, CartWork::Kind kind, const std::string& board,
                const std::string& file, bool ok, const std::string& outcome);
  // The holders a PIN file names go to the directory: their count, or -1 after a warning.
  int HoldersFrom(const CartController& controller, const std::string& path);

  // The store itself, for the fleet commands; nothing in a build without it.
  FleetStore* Store(const CartController& controller);
  // The first warning of the run, once; empty otherwise.
  std::string TakeWarning();

  struct State;

 private:
  std::unique_ptr<State> state;
};

}  // namespace molvane
