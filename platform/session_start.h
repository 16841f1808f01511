// Wine's session start, which the launcher leaves out.
#pragma once

// The launcher starts Wine without its session start (the prefix is kept
// ready by the launcher itself), which takes a fifth of a second from every
// start. A Wine process started from the shell at the same moment as
// another then waits minutes for the signal that the session has started,
// which nothing gives: every process of the program gives it. Called first
// by the entry.
void SignalSessionStarted();
