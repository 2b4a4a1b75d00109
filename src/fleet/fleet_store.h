#pragma once
#include <memory>
#include <string>
#include <vector>

#include "app/outcome.h"
#include "fleet/fleet_location.h"
#include "fleet/fleet_records.h"
#include "fleet/fleet_views.h"

namespace molvane {

class FleetDatabase;

// What became of one record.
struct [[nodiscard]] RecordOutcome {
  enum class Fate {
    Stored,    // in the store
    KeptBack,  // in the outbox, for the site's server
    Lost,      // neither: the warning says why
    Off        // no store in use
  };
  Fate fate = Fate::Off;
  std::string warning;  // Stored and Off: empty
  int newEvents = 0;    // a log read: the events the archive did not hold yet

  // The record is kept somewhere: what it records may go from the cart.
  bool Safe() const { return fate == Fate::Stored || fate == Fate::KeptBack; }
};

// The fleet record as molvanectl and the window use it: the embedded file, or a site's server
// with the embedded file as its outbox. Nothing is opened until it is first needed, and nothing
// it does throws or waits on a server longer than the connection's time-out; a server that could
// not be reached once is not tried again by the same store, so the rest of the cart work is not
// held up. A store is used by one thread (molvanectl's, the window's cart thread).
class FleetStore {
 public:
  explicit FleetStore(FleetLocation location);
  ~FleetStore();
  FleetStore(const FleetStore&) = delete;
  FleetStore& operator=(const FleetStore&) = delete;

  const FleetLocation& Location() const { return location; }
  bool Enabled() const { return location.kind != FleetLocation::Kind::Off; }

  // Keeps one record. With a site's server, records kept back before are sent first, and one
  // the server cannot take waits in the outbox; each is applied on the server exactly once.
  RecordOutcome Record(FleetRecord record);
  // Sends what waits in the outbox. Success's `done` counts the records the server took, `total`
  // those that were waiting; a server that cannot be reached is a failure.
  Outcome SendKeptBack();
  // How many records wait in the outbox (0 without a server, or when it cannot be read).
  int KeptBackCount();

  // The fleet record's carts by serial number, and one cart's archived events. With a server,
  // what waits in the outbox is sent first.
  Result<std::vector<CartSummary>> Carts();
  Result<EventPage> Events(const EventQuery& query);
  // Every event the query picks, of one cart or (no cart named) of all, to a tab-separated file.
  Outcome ExportEvents(const EventQuery& query, const std::string& path);

 private:
  // The store itself: the embedded file or the server. Failure: why it cannot be used.
  Outcome OpenTarget();
  Outcome OpenOutbox();
  RecordOutcome KeepBack(const std::string& recordId, const FleetRecord& record,
                         const std::string& why);
  // The target for a query, after sending what waits; Failure: why there is none.
  Outcome ReadyToRead();
  // A target whose connection went away is given up for the rest of the run.
  void NoteFailure(const Outcome& failure);

  FleetLocation location;
  std::unique_ptr<FleetDatabase> target;
  std::unique_ptr<FleetDatabase> outbox;  // with a server only
  std::string targetFailure;              // not empty: the target could not be used in this run
  std::string outboxFailure;
  // What waited was sent once the server answered; within one run nothing else is kept back
  // but by a server that is then not tried again.
  bool keptBackSent = false;
};

}  // namespace molvane
