#include "platform/message_box.h"

#include <cstdio>

HWND dialogWindow = NULL;

int ShowMessage(HWND owner, const char* text, UINT type)
{
    int answer = MessageBoxA(owner, text, "Bramblewick", type);
    if (answer > 0) return answer;

    fprintf(stderr, "Bramblewick\n%s\n", text);
    fflush(stderr);
    UINT buttons = type & MB_TYPEMASK;
    return (buttons == MB_YESNO || buttons == MB_YESNOCANCEL) ? IDNO : IDOK;
}
