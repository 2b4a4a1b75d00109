// Built without the fleet store (the Windows cross build: there is no SOCI for it): nothing is
// recorded, and the fleet commands say the store is not in this build.
#include "cli/cli_context.h"

namespace molvanectl {

struct FleetRecording::State {};

FleetRecording::FleetRecording() = default;
FleetRecording::~FleetRecording() = default;

bool FleetRecording::InUse(CliContext&) { return false; }
void FleetRecording::PinsRead(CliContext&, const std::vector<molvane::PinEntry>&) {}
void FleetRecording::PinsRead(CliContext&) {}
bool FleetRecording::ArchiveLog(CliContext&, std::string&) { return true; }
molvane::Outcome FleetRecording::ArchiveBeforeClear(CliContext&) {
  return molvane::Outcome::Success();
}
void FleetRecording::ArchiveCartLog(CliContext&) {}
void FleetRecording::BeforeTransfer(CliContext&) {}
void FleetRecording::WorkDone(CliContext&, molvane::CartWork::Kind, const std::string&,
                              const std::string&, bool, const std::string&) {}
int FleetRecording::HoldersFrom(CliContext&, const std::string&) { return 0; }

void FleetRecording::Finish(CliContext& context) {
  if (!option.empty()) context.Fail("Error: the fleet store is not in this build of molvanectl");
}

namespace {

const Registration registration([](CLI::App& app, CliContext& context) {
  app.add_subcommand("fleet", "The fleet record (not in this build)")
      ->allow_extras()
      ->callback([&context] {
        context.Fail("Error: the fleet store is not in this build of molvanectl");
      });
});

}  // namespace
}  // namespace molvanectl
