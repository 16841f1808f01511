// Standard output and error, held by this process alone.
#pragma once

// Wine hands this process's standard output and error on to every process
// started from it (its desktop process, the workers), and one that outlives
// the program keeps a caller that reads them through a pipe
// (x=$(bramblewick ...), ... | tee log) waiting. From now on this process
// writes them through descriptors of its own, and whatever it starts gets
// nothing to hold. Called before anything starts a process.
void KeepStandardStreamsToThisProcess();
