// The batch run: converts the rows of the file list on a worker thread.
#pragma once
#include <windows.h>

// Starts a run over the file list and returns at once. `conversionRunning`
// is set before the worker starts, so that a second Convert arriving before
// the worker runs asks to stop instead of starting another run. Tells the
// user when no thread could be started.
void StartBatchRun();

// The output directory, its switch and the deletion switch are read by each
// file of a run as it starts and ends, so the user-interface thread changes
// them only between HoldRunBetweenFiles and ReleaseRun. Holding returns at
// once when no file is being converted; otherwise it waits for the current
// file to end, handling this thread's messages meanwhile, with
// `waitingWindow` disabled so that it takes no input. The run starts its
// next file only after ReleaseRun.
void HoldRunBetweenFiles(HWND waitingWindow);
void ReleaseRun();
