// The worker role of the program. Both the program and the test program
// call this first thing: a process started as a worker converts the files
// its run sends, one at a time, and ends when the run closes its pipe.
#pragma once

// Does the worker's work and ends the process, when this process was started
// as a worker; returns at once in any other process.
void RunWorkerIfAsked();
