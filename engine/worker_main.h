// The worker role of the program. Both the program and the test program
// call this first thing: a process started as a worker converts the files
// its run sends, one at a time, and ends when the run closes its pipe.
#pragma once

// Does the worker's work and ends the process, when this process was started
// as a worker; returns at once in any other process.
void RunWorkerIfAsked();

// Faults a worker brings about on purpose, for tests of how a run survives
// them. A run passes its choice to the workers it starts, behind the run's
// secret, so nothing a user does reaches it.
enum WorkerFault {
    NoWorkerFault,
    NullWriteFault,      // every file: a write through a null pointer
    DivideByZeroFault,   // every file: an integer division by zero
    CrashIfReusedFault,  // a file after one that did not convert cleanly: a null write
    HangWhileTurningFault,
};
extern WorkerFault workerFault;
