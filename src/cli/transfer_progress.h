#pragma once
#include <string>

#include "cli/cli_context.h"
#include "fleet/fleet_records.h"

namespace molvanectl {

// From here on the first Ctrl-C, SIGTERM or SIGHUP asks the running transfer to stop at its next
// page or line, so that it still says how it ended; a second one ends the program the ordinary
// way.
void CatchInterrupt();

// Shows the worker's progress until it ends, then records how it ended in the fleet store (`kind`
// of work on `board`'s or the display's `file`); exit 0 only when the transfer succeeded.
void FollowTransfer(CliContext& context, molvane::CartWork::Kind kind, const std::string& board,
                    const std::string& file);

}  // namespace molvanectl
