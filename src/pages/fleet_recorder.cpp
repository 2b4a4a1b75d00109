// Recording in the fleet store as the cart work goes.
#include "pages/fleet_recorder.h"

#include <cstdlib>
#include <optional>

#include "app/cart_controller.h"
#include "app/config_entry.h"
#include "app/settings_folder.h"
#include "base/clock.h"
#include "fleet/file_hash.h"
#include "fleet/fleet_visit.h"
#include "fleet/holder_file.h"

namespace molvane {

struct FleetRecorder::State {
  std::string option;
  std::unique_ptr<FleetStore> store;
  std::unique_ptr<FleetVisit> visit;
  std::optional<std::vector<PinEntry>> pins;  // the last whole read, not yet recorded
  std::string warning;                        // said once, by TakeWarning
  bool warned = false;
};

namespace {

FleetLocation LocationFor(const CartController& controller, const std::string& option) {
  const char* environment = std::getenv("MOLVANE_FLEET");
  return ChooseFleetLocation(option, environment != nullptr ? environment : "",
                             ReadConfigEntry(controller.ConfigPath(), kFleetSection, kFleetKey),
                             SettingsFolder(controller.GetProgramFolder()));
}

// The store records go to; nothing when it is turned off.
FleetStore* Recorder(FleetRecorder::State& state, const CartController& controller) {
  if (!state.store) {
    state.store = std::make_unique<FleetStore>(LocationFor(controller, state.option));
    state.visit = std::make_unique<FleetVisit>(*state.store);
  }
  return state.store->Enabled() ? state.store.get() : nullptr;
}

// The first warning of a run is said; the records after it fare the same way.
void Note(FleetRecorder::State& state, const RecordOutcome& outcome) {
  if (outcome.warning.empty() || state.warned) return;
  state.warned = true;
  state.warning = outcome.warning;
}

}  // namespace

FleetRecorder::FleetRecorder(std::string option) : state(std::make_unique<State>()) {
  state->option = std::move(option);
}
FleetRecorder::~FleetRecorder() = default;

bool FleetRecorder::InUse(const CartController& controller) {
  return Recorder(*state, controller) != nullptr;
}

void FleetRecorder::Seen(CartController& controller) {
  if (Recorder(*state, controller) == nullptr) return;
  Note(*state, state->visit->RecordSeen(controller));
}

void FleetRecorder::Gone() {
  if (state->store) state->visit = std::make_unique<FleetVisit>(*state->store);
  state->pins.reset();
}

void FleetRecorder::PinsRead(const std::vector<PinEntry>& pins) { state->pins = pins; }

void FleetRecorder::PinsRead(const PinList& list) {
  state->pins.emplace(list.entries.begin(), list.entries.begin() + list.count);
}

void FleetRecorder::Finish(CartController& controller) {
  if (!controller.HasCart() || Recorder(*state, controller) == nullptr) return;
  const RecordOutcome seen = state->visit->RecordSeen(controller);
  Note(*state, seen);
  if (state->pins && seen.Safe()) {
    Note(*state, state->visit->RecordPins(controller, *state->pins));
    state->pins.reset();
  }
}

Outcome FleetRecorder::ArchiveLog(CartController& controller, const EventLog& log) {
  if (Recorder(*state, controller) == nullptr) return Outcome::Success();
  const RecordOutcome kept = state->visit->RecordLog(controller, log);
  Note(*state, kept);
  return kept.Safe() ? Outcome::Success() : Outcome::Failure(kept.warning);
}

void FleetRecorder::ArchiveCartLog(CartController& controller, const Progress& progress) {
  if (Recorder(*state, controller) == nullptr || !controller.HasCart()) return;
  Note(*state, state->visit->ReadAndRecordLog(controller, progress));
}

void FleetRecorder::BeforeTransfer(CartController& controller) { Seen(controller); }

void FleetRecorder::WorkDone(CartController& controller, CartWork::Kind kind,
                             const std::string& board, const std::string& file, bool ok,
                             const std::string& outcome) {
  if (Recorder(*state, controller) == nullptr) return;
  const bool update = kind != CartWork::Kind::Backup && kind != CartWork::Kind::Restore;
  // After an update the cart may still be starting: it is only asked who it is beforehand.
  if (update && !state->visit->Identified()) {
    Note(*state, {RecordOutcome::Fate::Lost,
                  "The cart could not be asked who it is before the update (its board was "
                  "waiting in its bootloader), so the update was not recorded.",
                  0});
    return;
  }
  CartWork work;
  work.kind = kind;
  work.board = board;
  work.file = file;
  work.sha256 = update ? FileSha256(file) : std::string();
  work.ok = ok;
  work.outcome = outcome;
  Note(*state, state->visit->RecordWork(controller, std::move(work)));
}

int FleetRecorder::HoldersFrom(const CartController& controller, const std::string& path) {
  FleetStore* store = Recorder(*state, controller);
  if (store == nullptr) return 0;
  auto holders = ReadHolderFile(path);
  if (!holders) {
    Note(*state, {RecordOutcome::Fate::Lost, holders.outcome.text, 0});
    return -1;
  }
  if (holders.value.empty()) return 0;
  const int count = static_cast<int>(holders.value.size());
  const RecordOutcome kept = store->Record(HoldersNamed{Now(), std::move(holders.value)});
  Note(*state, kept);
  return kept.Safe() ? count : -1;
}

FleetStore* FleetRecorder::Store(const CartController& controller) {
  Recorder(*state, controller);
  return state->store.get();
}

std::string FleetRecorder::TakeWarning() { return std::exchange(state->warning, {}); }

}  // namespace molvane
