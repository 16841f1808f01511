// The batch run: converts the rows of the file list on a worker thread.
#pragma once
#include <windows.h>

// Starts a run over the file list and returns at once. `conversionRunning`
// is set before the worker starts, so that a second Convert arriving before
// the worker runs asks to stop instead of starting another run. Refused with
// a message while an earlier run, stopped or not, has not put the window back
// yet, and when no thread could be started.
void StartBatchRun();

// True from StartBatchRun until the run has put the window back (a log
// window it opens after that may still be open).
bool BatchRunActive();

// The output directory, its switch and the deletion switch are copied by
// each file of a run as it starts, so the user-interface thread changes them
// only between these two calls, which wait at most for one such copy.
void LockFileSettings();
void UnlockFileSettings();
