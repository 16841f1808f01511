// The main window: a modal dialog from template 9 that stays open for the
// rest of the process.
#pragma once
#include <windows.h>

extern HWND mainWindow;              // null until the window opens
extern volatile bool conversionRunning;
extern volatile unsigned fileCount;  // rows of the file list

// Opens the main window (no owner) and returns when it ends.
void RunMainWindow();
INT_PTR CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
