// Ctrl-C, a termination request and a closed terminal, as a run that the
// user started from a shell sees them.
#pragma once

// From now on such a signal is only noted, so that the run can end itself
// cleanly; one that comes again (Ctrl-C reaches both the launcher, which
// passes a termination on, and the program) changes nothing.
void WatchInterrupts();

// The last signal noted since WatchInterrupts (SIGINT, SIGTERM or SIGHUP),
// or 0.
int InterruptSignal();

// A worker leaves them to its run, which ends it.
void IgnoreInterrupts();
