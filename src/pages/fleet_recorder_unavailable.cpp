// Built without the fleet store (the Windows cross build: there is no SOCI for it): nothing is
// recorded and nothing read from the cart for it.
#include "pages/fleet_recorder.h"

namespace molvane {

struct FleetRecorder::State {};

FleetRecorder::FleetRecorder(std::string) {}
FleetRecorder::~FleetRecorder() = default;

bool FleetRecorder::InUse(const CartController&) { return false; }
void FleetRecorder::Seen(CartController&) {}
void FleetRecorder::Gone() {}
void FleetRecorder::PinsRead(const std::vector<PinEntry>&) {}
void FleetRecorder::PinsRead(const PinList&) {}
void FleetRecorder::Finish(CartController&) {}
Outcome FleetRecorder::ArchiveLog(CartController&, const EventLog&) { return Outcome::Success(); }
void FleetRecorder::ArchiveCartLog(CartController&, const Progress&) {}
void FleetRecorder::BeforeTransfer(CartController&) {}
void FleetRecorder::WorkDone(CartController&, CartWork::Kind, const std::string&,
                             const std::string&, bool, const std::string&) {}
int FleetRecorder::HoldersFrom(const CartController&, const std::string&) { return 0; }
FleetStore* FleetRecorder::Store(const CartController&) { return nullptr; }
std::string FleetRecorder::TakeWarning() { return {}; }

}  // namespace molvane
