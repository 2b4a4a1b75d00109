#pragma once
#include <memory>
#include <string>
#include <vector>

#include "app/cart_data.h"
#include "app/outcome.h"
#include "fleet/fleet_records.h"

namespace molvane {
class FleetRecorder;
class FleetStore;
}  // namespace molvane

namespace molvanectl {

struct CliContext;

// What molvanectl records in the fleet store as it works, without being asked: the hooks the
// commands call, over the recorder the window uses too. Each says at most one warning per run
// when a record could not be kept, and never changes a command's outcome. A build without the
// store does nothing here.
class FleetRecording {
 public:
  FleetRecording();
  ~FleetRecording();
  FleetRecording(const FleetRecording&) = delete;
  FleetRecording& operator=(const FleetRecording&) = delete;

  std::string option;  // --fleet

  // Whether records are kept in this run: a store is named, or the embedded one is not off.
  bool InUse(CliContext& context);
  // The PIN list was read whole: its count and ages go with the visit at the end.
  void PinsRead(CliContext& context, const std::vector<molvane::PinEntry>& pins);
  void PinsRead(CliContext& context);
  // The controller's log was read whole: its events go to the cart's archive now. False, with
  // why, only when the store is in use and the events are kept nowhere.
  bool ArchiveLog(CliContext& context, std::string& why);
  // Before the log is cleared: reads it whole and archives it; a failure says why it must not
  // be cleared. Success without a store in use.
  molvane::Outcome ArchiveBeforeClear(CliContext& context);
  // Reads the log and archives it, for a command that does not read it itself (a backup).
  void ArchiveCartLog(CliContext& context);
  // Before a transfer, while the cart still runs its firmware: who it is.
  void BeforeTransfer(CliContext& context);
  // A backup, restore or update, once it has ended.
  void WorkDone(CliContext& context, molvane::CartWork::Kind kind, const std::string& board,
                const std::string& file, bool ok, const std::string& outcome);
  // The holders a PIN file names go to the directory; the count, or -1 after a warning.
  int HoldersFrom(CliContext& context, const std::string& path);
  // At the end of every command: the visit itself, if a cart was reached.
  void Finish(CliContext& context);

  // The store, for the fleet commands; nothing, with the failure's line, when there is none.
  molvane::FleetStore* Store(CliContext& context, std::string& failure);

  struct State;

 private:
  molvane::FleetRecorder& Recorder();

  std::unique_ptr<State> state;
};

}  // namespace molvanectl
