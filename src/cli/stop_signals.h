#pragma once

namespace molvanectl {

// What asks long work to stop between two commands: Ctrl-C everywhere, and where the system has
// them SIGTERM (a service manager's or a script's stop) and SIGHUP (the terminal closed). From
// the call on, the first of them calls `onStop`, which must be safe in a signal handler, and
// gives all of them back their default action, so that a second one ends the program the
// ordinary way.
void CatchStopSignals(void (*onStop)());

// Gives them back their default action.
void ReleaseStopSignals();

}  // namespace molvanectl
