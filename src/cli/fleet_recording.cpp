// Recording in the fleet store from molvanectl's commands: the recorder the window uses too,
// with its warnings said on the terminal.
#include "cli/fleet_recording.h"

#include "cli/cli_context.h"
#include "cli/work_progress.h"
#include "fleet/fleet_store.h"
#include "pages/fleet_recorder.h"
#include "pages/log_archive.h"

namespace molvanectl {

struct FleetRecording::State {
  std::unique_ptr<molvane::FleetRecorder> recorder;  // made once --fleet is known
};

namespace {

// What the recorder has to say, on the terminal.
void Say(molvane::FleetRecorder& recorder) { Warn("fleet store", recorder.TakeWarning()); }

}  // namespace

FleetRecording::FleetRecording() : state(std::make_unique<State>()) {}
FleetRecording::~FleetRecording() = default;

molvane::FleetRecorder& FleetRecording::Recorder() {
  if (!state->recorder) state->recorder = std::make_unique<molvane::FleetRecorder>(option);
  return *state->recorder;
}

molvane::FleetStore* FleetRecording::Store(CliContext& context, std::string& failure) {
  molvane::FleetStore* store = Recorder().Store(context.controller);
  const molvane::FleetLocation& location = store->Location();
  if (!location.refusal.empty()) {
    failure = "Error: " + location.refusal;
    return nullptr;
  }
  if (!store->Enabled()) {
    failure =
        "Error: the fleet store is turned off (Molvane.cfg, MOLVANE_FLEET or --fleet says "
        "\"off\")";
    return nullptr;
  }
  return store;
}

bool FleetRecording::InUse(CliContext& context) { return Recorder().InUse(context.controller); }

void FleetRecording::PinsRead(CliContext&, const std::vector<molvane::PinEntry>& pins) {
  Recorder().PinsRead(pins);
}

void FleetRecording::PinsRead(CliContext& context) {
  Recorder().PinsRead(context.controller.Pins());
}

bool FleetRecording::ArchiveLog(CliContext& context, std::string& why) {
  const molvane::Outcome kept =
      Recorder().ArchiveLog(context.controller, context.controller.Events());
  Say(Recorder());
  if (!kept) why = kept.text;
  return kept.ok;
}

molvane::Outcome FleetRecording::ArchiveBeforeClear(CliContext& context) {
  molvane::Outcome archived = molvane::ArchiveBeforeClear(context.controller, Recorder());
  Say(Recorder());
  return archived;
}

void FleetRecording::ArchiveCartLog(CliContext& context) {
  if (!Recorder().InUse(context.controller) || !context.controller.HasCart()) return;
  const WorkProgress progress("Reading the log for the fleet record");
  Recorder().ArchiveCartLog(context.controller, progress.Get());
  Say(Recorder());
}

void FleetRecording::BeforeTransfer(CliContext& context) {
  Recorder().BeforeTransfer(context.controller);
  Say(Recorder());
}

void FleetRecording::WorkDone(CliContext& context, molvane::CartWork::Kind kind,
                              const std::string& board, const std::string& file, bool ok,
                              const std::string& outcome) {
  Recorder().WorkDone(context.controller, kind, board, file, ok, outcome);
  Say(Recorder());
}

int FleetRecording::HoldersFrom(CliContext& context, const std::string& path) {
  const int count = Recorder().HoldersFrom(context.controller, path);
  Say(Recorder());
  return count;
}

void FleetRecording::Finish(CliContext& context) {
  Recorder().Finish(context.controller);
  Say(Recorder());
}

}  // namespace molvanectl
