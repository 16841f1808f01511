// A run of conversions in worker processes, several files at a time, with
// every effect a user sees in list order: names, log, counts, deletions.
#pragma once
#include <functional>
#include <string>

#include "engine/conversion_settings.h"
#include "engine/worker_messages.h"

// A file as the run starts it.
struct FileStart {
    std::string inputPath;
    ConversionSettings settings;   // as they stand when the file starts
    std::string failure;           // set: the file fails with this reason, unconverted
};

// Asked for file `index` (0, 1, ... in list order) when a worker is free to
// take it (or see `ahead` below); false starts no more files, and those
// started finish.
typedef std::function<bool(unsigned index, FileStart& file)> NextFile;
// Told that file `index` is counted and logged, in list order.
typedef std::function<void(unsigned index, const JobOutcome& outcome)> FileEnded;

// Converts every file `nextFile` names with `change`, in `settings.workers`
// worker processes (0: one per processor), and returns when all have ended.
// A worker that crashes, runs out of time or of memory costs its file, which
// fails with the reason; the run goes on. With `ahead`, a file may be asked
// for while every worker is busy, to wait behind one (for files and settings
// that stay as they are during the run, and a run that only an interrupt
// stops: a file still waiting then is left as not started).
void ConvertFiles(const ImageChange& change, const NextFile& nextFile, const FileEnded& fileEnded = nullptr,
                  bool ahead = false);

// The memory each of a run's `workers` may take: three quarters of the
// machine's, shared by them so that together they stay within it (or the
// limit set in conversionLimits).
unsigned long long MemoryLimit(unsigned workers);

// Starts the first worker of the next run now, on a thread of its own, so
// that it gets ready while the program reads its settings and its list.
void StartWorkerEarly();

// Before the program ends: a worker started early for a run that did not
// come is let go. A process that ended while starting one would leave it
// waiting, never to run, and keeping Wine up.
void LetEarlyWorkerGo();
