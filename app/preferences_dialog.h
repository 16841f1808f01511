// The Preferences dialog: the output directory, deletion of sources, and
// whether photos are turned upright as their EXIF orientation says.
#pragma once
#include <windows.h>

// Shows the dialog (template 135) owned by `owner` and returns when it closes.
// Messages that arise meanwhile (a failed deletion, an unwritable settings
// file) are owned by the dialog.
void ShowPreferencesDialog(HWND owner);
INT_PTR CALLBACK PreferencesDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// What choosing a folder in the dialog's folder browser does: the folder, with
// a backslash appended when it lacks one, becomes `outputDirectory` at once
// and is shown in the edit field.
void TakeChosenFolder(HWND dialog, const char* folder);
