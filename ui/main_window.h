// The main window: a modal dialog from template 9 that stays open for the
// rest of the process.
#pragma once
#include <windows.h>

extern HWND mainWindow;              // null until the window opens

// A control of the main window, by its id.
HWND Control(int id);
extern volatile bool conversionRunning;
extern volatile unsigned fileCount;  // rows of the file list

// Called once the window has ended (Exit or the close box): ends the process
// with exit code 0. In-process tests put a function of their own here.
extern void (*endProgram)();

// Opens the main window (no owner); leaving it ends the process. False,
// after saying so, when the window cannot be opened (no display).
bool RunMainWindow();
INT_PTR CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
