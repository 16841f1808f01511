// The log window, which shows what failed and why.
#pragma once
#include <windows.h>

// Shows `logWindowText` in the log window (template 134, no owner) and
// returns when the user closes it.
void ShowLogWindow();
INT_PTR CALLBACK LogWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
