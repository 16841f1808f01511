// Worker processes: this program's own executable started again to convert
// files, joined to the run by a host socket and process handles.
#pragma once
#include <windows.h>

#include <string>

// One side of a worker's connection.
struct WorkerChannel {
    HANDLE process = NULL;   // the parent: the worker; the worker: the parent
    int socket = -1;         // of the host: jobs one way, answers the other
};

// Starts this program's executable as a worker that finds `secret` in its
// environment. False when it could not be started, with the system's reason
// in `failure`.
bool StartWorkerProcess(const std::string& secret, WorkerChannel& parentEnds, std::string& failure);

// In a process started by StartWorkerProcess: the secret and the worker's
// ends. False in any other process, also when a stray variable names
// handles this process does not have. A worker the launcher started beside
// the program (taken by the program's first StartWorkerProcess) has no
// secret: "".
bool TakeWorkerChannel(std::string& secret, WorkerChannel& workerEnds);

void CloseWorkerChannel(WorkerChannel& channel);

// Readies a worker process for untrusted images: from now on it may allocate
// at most `memoryBytes` beyond what it holds (an allocation beyond fails),
// nothing it or its libraries print reaches the console, a library that
// aborts (the C library does on a corrupted heap) or faults (a bad pointer, a
// division by zero) ends the process at once, where the system's crash
// handling could hang on that heap, and interrupts are left to the run.
void PrepareWorkerProcess(unsigned long long memoryBytes);
