#pragma once
#include "cli/cli_context.h"

namespace molvanectl {

// From here on the first Ctrl-C, SIGTERM or SIGHUP asks the running transfer to stop at its next
// page or line, so that it still says how it ended; a second one ends the program the ordinary
// way.
void CatchInterrupt();

// Shows the worker's progress until it ends; exit 0 only when the transfer succeeded.
void FollowTransfer(CliContext& context, bool firmware);

}  // namespace molvanectl
