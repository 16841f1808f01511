// Wine's session start, which the launcher leaves out.
#pragma once

// The launcher starts Wine without its session start (the prefix is kept
// ready by the launcher itself), which takes a fifth of a second from every
// start. A Wine process started from the shell then finds no signal that the
// session has started: it tries to start it, and one started at the same
// moment waits minutes for the signal, which nothing gives. Every process of
// the program gives it and leaves it with the Wine server, so that later
// processes neither try nor wait. Called first by the entry.
void SignalSessionStarted();
