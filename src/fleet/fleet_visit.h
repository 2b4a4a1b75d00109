#pragma once
#include <cstdint>
#include <vector>

#include "app/cart_data.h"
#include "app/outcome.h"
#include "app/progress.h"
#include "fleet/fleet_records.h"
#include "fleet/fleet_store.h"

namespace molvane {

class CartController;

// What the fleet record learns from one connection to a cart, recorded as it happens without
// the operator asking. The cart's identity (serial number, name, versions, power supply) is read
// once, when the first record needs it, and the visit's first record is the sighting itself. A
// cart without a serial number cannot be told from another, so nothing of it is recorded. With
// the store off nothing is read from the cart and nothing recorded. Runs where the cart work
// runs (molvanectl, the window's cart thread): it talks to the cart.
class FleetVisit {
 public:
  explicit FleetVisit(FleetStore& store) : store(store) {}

  // The visit's sighting, once; the records below make it first too.
  RecordOutcome RecordSeen(CartController& controller);
  // The PIN list's count and ages: activation times only.
  RecordOutcome RecordPins(CartController& controller, const PinList& list);
  RecordOutcome RecordPins(CartController& controller, const std::vector<PinEntry>& pins);
  // A whole log read, added to the cart's archive.
  RecordOutcome RecordLog(CartController& controller, const EventLog& log);
  // A backup, restore or update; the serial number and PC are filled in here.
  RecordOutcome RecordWork(CartController& controller, CartWork work);
  // Reads the whole log and archives it, for work that does not read it by itself (a backup
  // keeps the trail too). A log that could not be read whole is not archived, and says so.
  RecordOutcome ReadAndRecordLog(CartController& controller, const Progress& progress = {});

  bool Identified() const { return identified; }
  const CartIdentity& Identity() const { return identity; }

 private:
  // Reads the identity if it is not known yet; a failure says why nothing can be recorded.
  Outcome Identify(CartController& controller);
  RecordOutcome Keep(CartController& controller, FleetRecord record);

  FleetStore& store;
  CartIdentity identity;
  bool identified = false;
  bool seen = false;
};

// The cart's identity, read anew: name, serial number, versions and power supply.
Result<CartIdentity> ReadCartIdentity(CartController& controller);

}  // namespace molvane
