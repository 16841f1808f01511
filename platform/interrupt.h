// Ctrl-C, a termination request and a closed terminal, as a run that the
// user started from a shell sees them.
#pragma once

// From now on the first such signal is only noted, so that the run can end
// itself cleanly; a second one ends the process as the signal would.
void WatchInterrupts();

// The first signal noted since WatchInterrupts (SIGINT, SIGTERM or SIGHUP),
// or 0.
int InterruptSignal();

// A worker leaves them to its run, which ends it.
void IgnoreInterrupts();
