#include "fleet/fleet_visit.h"

#include "app/cart_controller.h"
#include "base/clock.h"
#include "cart/cart_identity.h"
#include "cart/event_log.h"
#include "cart/setup_values.h"
#include "cart/version_info.h"
#include "fleet/pc_name.h"

namespace molvane {
namespace {

RecordOutcome NotRecorded(const std::string& why) {
  RecordOutcome outcome;
  outcome.fate = RecordOutcome::Fate::Lost;
  outcome.warning = why;
  return outcome;
}

}  // namespace

Result<CartIdentity> ReadCartIdentity(CartController& controller) {
  Result<CartIdentity> result;
  CartIdentity& identity = result.value;
  auto name = GetCartName(controller);
  if (!name) return {identity, name.outcome};
  auto serial = GetSerialNumber(controller);
  if (!serial) return {identity, serial.outcome};
  if (Outcome versions = GetVersion(controller); !versions) return {identity, versions};
  auto supply = GetPowerSupplyType(controller);
  if (!supply) return {identity, supply.outcome};
  identity.name = name.value;
  identity.serialNumber = serial.value;
  identity.firmware = controller.Versions().firmware;
  identity.hardware = controller.Versions().hardware;
  identity.powerSupply = PowerSupplyText(PowerSupplyKind(supply.value));
  return result;
}

Outcome FleetVisit::Identify(CartController& controller) {
  if (!identified) {
    Result<CartIdentity> read = ReadCartIdentity(controller);
    if (!read) {
      return Outcome::Failure("The cart's identity could not be read (" + read.outcome.text +
                              "), so nothing of this visit was recorded in the fleet store.");
    }
    identity = read.value;
    identified = true;
  }
  if (identity.serialNumber.empty()) {
    return Outcome::Failure(
        "The cart has no serial number, so nothing of it can be recorded in the fleet store.");
  }
  return Outcome::Success();
}

RecordOutcome FleetVisit::Keep(CartController& controller, FleetRecord record) {
  if (!store.Enabled()) return {};
  if (Outcome known = Identify(controller); !known) return NotRecorded(known.text);
  if (!seen) {
    seen = true;
    RecordOutcome sighting = store.Record(CartSeen{identity, PcName(), Now()});
    if (!sighting.Safe()) return sighting;
  }
  return store.Record(std::move(record));
}

RecordOutcome FleetVisit::RecordSeen(CartController& controller) {
  if (!store.Enabled()) return {};
  if (Outcome known = Identify(controller); !known) return NotRecorded(known.text);
  if (seen) {
    RecordOutcome already;
    already.fate = RecordOutcome::Fate::Stored;
    return already;
  }
  seen = true;
  return store.Record(CartSeen{identity, PcName(), Now()});
}

RecordOutcome FleetVisit::RecordPins(CartController& controller, const PinList& list) {
  return RecordPins(controller,
                    std::vector<PinEntry>(list.entries.begin(), list.entries.begin() + list.count));
}

RecordOutcome FleetVisit::RecordPins(CartController& controller,
                                     const std::vector<PinEntry>& pins) {
  PinListSeen record;
  record.at = Now();
  for (const PinEntry& entry : pins) record.activationTimes.push_back(entry.activationTime);
  if (!store.Enabled()) return {};
  if (Outcome known = Identify(controller); !known) return NotRecorded(known.text);
  record.serialNumber = identity.serialNumber;
  return Keep(controller, std::move(record));
}

RecordOutcome FleetVisit::RecordLog(CartController& controller, const EventLog& log) {
  if (!store.Enabled()) return {};
  if (Outcome known = Identify(controller); !known) return NotRecorded(known.text);
  return Keep(controller, LogArchived{identity.serialNumber, Now(), ArchivedEvents(log)});
}

RecordOutcome FleetVisit::RecordWork(CartController& controller, CartWork work) {
  if (!store.Enabled()) return {};
  if (Outcome known = Identify(controller); !known) return NotRecorded(known.text);
  work.serialNumber = identity.serialNumber;
  work.pcName = PcName();
  if (work.at == 0) work.at = Now();
  return Keep(controller, std::move(work));
}

RecordOutcome FleetVisit::ReadAndRecordLog(CartController& controller, const Progress& progress) {
  if (!store.Enabled()) return {};
  if (Outcome read = DumpLog(controller, progress); !read) {
    return NotRecorded("The cart's log could not be read whole (" + read.text +
                       "), so it was not archived.");
  }
  return RecordLog(controller, controller.Events());
}

}  // namespace molvane
