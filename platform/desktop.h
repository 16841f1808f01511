// What the user's desktop does for the program: opening a document in the
// application the user chose for it.
#pragma once

// Hands a file (a Windows path) to the desktop's opener (xdg-open), which
// shows it in the application the user chose for its kind, and does not
// wait for that application. False when the file has no host path or the
// desktop has no opener.
bool OpenWithDesktop(const char* windowsPath);
