// Small helpers every window of the program uses.
#pragma once
#include <windows.h>

#include "lang/language_file.h"

// Makes the common controls' window classes (list view, progress bar,
// tooltips) known before the first window that has one opens. Not done at
// start: a run without a window would pay a good part of a start for it.
void LoadCommonControls();

// Gives a control a tooltip of its own with the text (shown 25 s, wrapped at
// 300 pixels, only within the control's rectangle of the moment). With
// LPSTR_TEXTCALLBACKA as the text, the tip covers the whole control as it
// is at any time and asks the control's parent for its text each time it
// shows (TTN_GETDISPINFOA, idFrom the control). Returns the tooltip window.
HWND CreateTooltip(HWND control, const char* text);

// A control of a window and the caption it shows.
struct ControlCaption {
    int control;
    int caption;
};

// Puts each caption, in the current language, on its control of the window.
template <size_t N>
void SetControlCaptions(HWND window, const ControlCaption (&captions)[N])
{
    for (const ControlCaption& entry : captions) SetDlgItemTextA(window, entry.control, Caption(entry.caption));
}

// Moves a window to the middle of the desktop, size unchanged.
void CenterWindow(HWND window);

// Sets a window's small and large icon to the program icon.
void SetProgramIcon(HWND window);
