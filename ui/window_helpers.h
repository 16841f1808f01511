#pragma once
#include <windows.h>

// Gives a control a tooltip of its own with the text (shown 25 s, wrapped at
// 300 pixels, only within the control's rectangle of the moment).
void CreateTooltip(HWND control, const char* text);

// Moves a window to the middle of the desktop, size unchanged.
void CenterWindow(HWND window);

// Sets a window's small and large icon to the program icon.
void SetProgramIcon(HWND window);
