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

// Convert during a run: asks whether to stop (a question withdrawn when the
// run's files end first), and on Yes the run starts no further file. Asks
// nothing once the run's files have ended.
void AskToStop();

// What the Convert button and the File menu's Convert entry offer: Convert,
// the stop command during a run, "Stopping..." (disabled) from a confirmed
// stop until the run has ended, and the stop command disabled once the run's
// files have ended. Only the window's thread changes it; the run asks for a
// change by sending WM_CONVERT_STATE (wParam: state) to the main window. A
// stop question still open when the state leaves ConvertStop is withdrawn.
enum ConvertState { ConvertIdle, ConvertStop, ConvertStopping, ConvertEnding };
void SetConvertState(int state);
// Shows the current state's texts again (after a change of language).
void ShowConvertState();
// The Convert button's tooltip in the current state.
const char* ConvertTip();

// The row whose file the run is converting, which the list shows marked;
// -1 when none.
int RowBeingConverted();
