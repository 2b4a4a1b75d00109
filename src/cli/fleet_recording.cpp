// Recording in the fleet store from molvanectl's commands.
#include "cli/fleet_recording.h"

#include <cstdlib>
#include <optional>

#include "app/config_entry.h"
#include "app/settings_folder.h"
#include "base/clock.h"
#include "cli/cli_context.h"
#include "cli/work_progress.h"
#include "fleet/file_hash.h"
#include "fleet/fleet_visit.h"
#include "fleet/holder_file.h"

namespace molvanectl {

struct FleetRecording::State {
  std::unique_ptr<molvane::FleetStore> store;
  std::unique_ptr<molvane::FleetVisit> visit;
  std::optional<std::vector<molvane::PinEntry>> pins;  // the last whole read, not yet recorded
  bool warned = false;
};

namespace {

molvane::FleetLocation LocationFor(CliContext& context, const std::string& option) {
  const char* environment = std::getenv("MOLVANE_FLEET");
  const auto& controller = context.controller;
  return molvane::ChooseFleetLocation(
      option, environment != nullptr ? environment : "",
      molvane::ReadConfigEntry(controller.ConfigPath(), molvane::kFleetSection, molvane::kFleetKey),
      molvane::SettingsFolder(controller.GetProgramFolder()));
}

}  // namespace

FleetRecording::FleetRecording() : state(std::make_unique<State>()) {}
FleetRecording::~FleetRecording() = default;

molvane::FleetStore* FleetRecording::Recorder(CliContext& context) {
  if (!state->store) {
    state->store = std::make_unique<molvane::FleetStore>(LocationFor(context, option));
    state->visit = std::make_unique<molvane::FleetVisit>(*state->store);
  }
  return state->store->Enabled() ? state->store.get() : nullptr;
}

molvane::FleetStore* FleetRecording::Store(CliContext& context, std::string& failure) {
  Recorder(context);
  const molvane::FleetLocation& location = state->store->Location();
  if (!location.refusal.empty()) {
    failure = "Error: " + location.refusal;
    return nullptr;
  }
  if (!state->store->Enabled()) {
    failure =
        "Error: the fleet store is turned off (Molvane.cfg, MOLVANE_FLEET or --fleet says "
        "\"off\")";
    return nullptr;
  }
  return state->store.get();
}

namespace {

// The first warning of a run is said; the records after it fare the same way.
void Say(FleetRecording::State& state, const molvane::RecordOutcome& outcome) {
  if (outcome.warning.empty() || state.warned) return;
  state.warned = true;
  Warn("fleet store", outcome.warning);
}

}  // namespace

bool FleetRecording::InUse(CliContext& context) { return Recorder(context) != nullptr; }

void FleetRecording::PinsRead(CliContext&, const std::vector<molvane::PinEntry>& pins) {
  state->pins = pins;
}

void FleetRecording::PinsRead(CliContext& context) {
  const molvane::PinList& list = context.controller.Pins();
  state->pins.emplace(list.entries.begin(), list.entries.begin() + list.count);
}

bool FleetRecording::ArchiveLog(CliContext& context, std::string& why) {
  if (Recorder(context) == nullptr) return true;
  const molvane::RecordOutcome kept =
      state->visit->RecordLog(context.controller, context.controller.Events());
  Say(*state, kept);
  why = kept.warning;
  return kept.Safe();
}

void FleetRecording::ArchiveCartLog(CliContext& context) {
  if (Recorder(context) == nullptr || !context.controller.HasCart()) return;
  const WorkProgress progress("Reading the log for the fleet record");
  Say(*state, state->visit->ReadAndRecordLog(context.controller, progress.Get()));
}

void FleetRecording::BeforeTransfer(CliContext& context) {
  if (Recorder(context) == nullptr) return;
  Say(*state, state->visit->RecordSeen(context.controller));
}

void FleetRecording::WorkDone(CliContext& context, molvane::CartWork::Kind kind,
                              const std::string& board, const std::string& file, bool ok,
                              const std::string& outcome) {
  if (Recorder(context) == nullptr) return;
  const bool update =
      kind != molvane::CartWork::Kind::Backup && kind != molvane::CartWork::Kind::Restore;
  // After an update the cart may still be starting: it is only asked who it is beforehand.
  if (update && !state->visit->Identified()) {
    Say(*state, {molvane::RecordOutcome::Fate::Lost,
                 "The cart could not be asked who it is before the update (its board was "
                 "waiting in its bootloader), so the update was not recorded.",
                 0});
    return;
  }
  molvane::CartWork work;
  work.kind = kind;
  work.board = board;
  work.file = file;
  work.sha256 = update ? molvane::FileSha256(file) : std::string();
  work.ok = ok;
  work.outcome = outcome;
  Say(*state, state->visit->RecordWork(context.controller, std::move(work)));
}

int FleetRecording::HoldersFrom(CliContext& context, const std::string& path) {
  molvane::FleetStore* store = Recorder(context);
  if (store == nullptr) return 0;
  auto holders = molvane::ReadHolderFile(path);
  if (!holders) {
    Say(*state, {molvane::RecordOutcome::Fate::Lost, holders.outcome.text, 0});
    return -1;
  }
  if (holders.value.empty()) return 0;
  const int count = static_cast<int>(holders.value.size());
  const molvane::RecordOutcome kept =
      store->Record(molvane::HoldersNamed{molvane::Now(), std::move(holders.value)});
  Say(*state, kept);
  return kept.Safe() ? count : -1;
}

void FleetRecording::Finish(CliContext& context) {
  if (!context.controller.HasCart() || Recorder(context) == nullptr) return;
  molvane::RecordOutcome seen = state->visit->RecordSeen(context.controller);
  Say(*state, seen);
  if (state->pins && seen.Safe()) {
    Say(*state, state->visit->RecordPins(context.controller, *state->pins));
    state->pins.reset();
  }
}

}  // namespace molvanectl
