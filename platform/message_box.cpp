#include "platform/message_box.h"

#include <cstdio>

HWND dialogWindow = NULL;

int ShowMessage(HWND owner, const char* text, UINT type, bool* shown)
{
    int answer = MessageBoxA(owner, text, "Bramblewick", type);
    if (shown) *shown = answer > 0;
    if (answer > 0) return answer;

    // A terminal ends lines with LF alone.
    fputs("Bramblewick\n", stderr);
    for (const char* c = text; *c; c++)
        if (!(c[0] == '\r' && c[1] == '\n')) fputc(*c, stderr);
    fputc('\n', stderr);
    fflush(stderr);
    UINT buttons = type & MB_TYPEMASK;
    return (buttons == MB_YESNO || buttons == MB_YESNOCANCEL) ? IDNO : IDOK;
}
