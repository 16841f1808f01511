// Message boxes, and standard error where no box can be shown.
#include "platform/message_box.h"

#include <cstdio>
#include <cstring>

HWND dialogWindow = NULL;

int ShowMessage(HWND owner, const char* text, UINT type, bool* shown)
{
    int answer = MessageBoxA(owner, text, "Bramblewick", type);
    if (shown) *shown = answer > 0;
    if (answer > 0) return answer;

    fputs("Bramblewick\n", stderr);
    WriteStandardError(text);
    UINT buttons = type & MB_TYPEMASK;
    return (buttons == MB_YESNO || buttons == MB_YESNOCANCEL) ? IDNO : IDOK;
}

void WriteStandardError(const char* text)
{
    // A terminal ends lines with LF alone.
    for (const char* c = text; *c; c++)
        if (!(c[0] == '\r' && c[1] == '\n')) fputc(*c, stderr);
    fputc('\n', stderr);
    fflush(stderr);
}

std::string SystemErrorText(DWORD error)
{
    char text[512] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, error, 0, text, sizeof text, NULL);
    std::string message = text;
    while (!message.empty() && strchr("\r\n. ", message.back())) message.pop_back();
    return message.empty() ? "error " + std::to_string(error) : message;
}
