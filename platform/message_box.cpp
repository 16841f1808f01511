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

namespace {

// The box of the withdrawable question being asked; only the asking thread
// touches them.
HWND openQuestion = NULL;
HHOOK questionHook = NULL;

// The box is the first dialog the asking thread creates while it asks.
LRESULT CALLBACK NoteQuestionBox(int code, WPARAM wParam, LPARAM lParam)
{
    char name[8] = "";
    if (code == HCBT_CREATEWND && !openQuestion && GetClassNameA((HWND)wParam, name, sizeof name) &&
        strcmp(name, "#32770") == 0)
        openQuestion = (HWND)wParam;
    return CallNextHookEx(questionHook, code, wParam, lParam);
}

} // namespace

int AskWithdrawable(HWND owner, const char* text, UINT type)
{
    questionHook = SetWindowsHookExA(WH_CBT, NoteQuestionBox, NULL, GetCurrentThreadId());
    int answer = ShowMessage(owner, text, type);
    if (questionHook) UnhookWindowsHookEx(questionHook);
    questionHook = NULL;
    openQuestion = NULL;
    return answer;
}

void WithdrawQuestion()
{
    if (openQuestion) EndDialog(openQuestion, IDNO);
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
