// Every message box of the program goes through here: the caption is always
// "Bramblewick", and where no box can be shown (no display) the text goes to
// standard error instead and a question counts as No.
#pragma once
#include <windows.h>

#include <string>

// The program's current dialog window, owner of messages that arise outside
// any window procedure (a failed deletion, an unwritable settings file);
// null while no dialog exists.
extern HWND dialogWindow;

// MessageBoxA captioned "Bramblewick"; returns the button pressed, or IDNO
// (a question) / IDOK when the box could not be shown. `shown`, when given,
// tells which.
int ShowMessage(HWND owner, const char* text, UINT type, bool* shown = nullptr);

// A question the program may take back while it waits for the answer
// (ShowMessage otherwise): WithdrawQuestion, called on the asking thread from
// a message its box's loop handles, closes the box as if No was pressed.
int AskWithdrawable(HWND owner, const char* text, UINT type);
void WithdrawQuestion();

// Writes text to standard error with the terminal's line ends (LF), and a
// final one.
void WriteStandardError(const char* text);

// The system's words for an error code (GetLastError), without a final
// period, for a log entry or a message.
std::string SystemErrorText(DWORD error);
