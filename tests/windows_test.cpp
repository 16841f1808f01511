#include <windows.h>
#include <commctrl.h>

#include "app/startup.h"
#include "engine/convert_file.h"
#include "res/resource.h"
#include "tests/gtest.h"
#include "ui/log_window.h"
#include "ui/window_helpers.h"

namespace {

// Closes the next log window as soon as it is active, keeping what it showed.
std::string shownLogText;
LRESULT CALLBACK CloseLogWindow(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && GetDlgItem((HWND)wParam, IDC_LOG_TEXT)) {
        char text[4096] = "";
        GetDlgItemTextA((HWND)wParam, IDC_LOG_TEXT, text, sizeof text);
        shownLogText = text;
        PostMessageA((HWND)wParam, WM_COMMAND, IDC_LOG_OK, 0);
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

BOOL CALLBACK FindTooltip(HWND window, LPARAM found)
{
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpiA(name, TOOLTIPS_CLASSA) == 0) *(HWND*)found = window;
    return TRUE;
}

} // namespace

TEST(LogWindow, ShowsTheLogFromItsStartAndEndsByOkEnterEscapeOrTheCloseBox)
{
    logWindowText = "C:\\a.png\r\nError: one\r\n\r\n";
    HHOOK hook = SetWindowsHookExA(WH_CBT, CloseLogWindow, NULL, GetCurrentThreadId());
    ShowLogWindow();
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(shownLogText, logWindowText);

    // It opens at the start of the text with nothing selected; Escape and
    // Enter arrive as commands 2 and 1.
    for (int command : {IDCANCEL, IDOK, IDC_LOG_OK, 0}) {
        HWND window = CreateDialogParamA(programInstance, MAKEINTRESOURCEA(IDD_LOG), NULL, LogWindowProc, 0);
        ShowWindow(window, SW_SHOW);
        DWORD start = 1, end = 1;
        SendDlgItemMessageA(window, IDC_LOG_TEXT, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
        EXPECT_TRUE(start == 0 && end == 0 && GetFocus() == GetDlgItem(window, IDC_LOG_OK));
        if (command) SendMessageA(window, WM_COMMAND, command, 0);
        else SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_FALSE(IsWindowVisible(window)) << command;
        DestroyWindow(window);
    }
    logWindowText.clear();
}

TEST(WindowHelpers, CenteringAndTooltips)
{
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 5, 7, 400, 300, NULL, NULL, programInstance, NULL);
    CenterWindow(window);
    RECT desktop, bounds;
    GetWindowRect(GetDesktopWindow(), &desktop);
    GetWindowRect(window, &bounds);
    EXPECT_EQ(bounds.left, (desktop.right - 400) / 2);
    EXPECT_EQ(bounds.top, (desktop.bottom - 300) / 2);
    EXPECT_EQ(bounds.right - bounds.left, 400);

    HWND control = CreateWindowExA(0, "BUTTON", "Go", WS_CHILD, 10, 10, 80, 24, window, NULL, programInstance, NULL);
    CreateTooltip(control, "Starts & stops");
    HWND tooltip = NULL;
    EnumThreadWindows(GetCurrentThreadId(), FindTooltip, (LPARAM)&tooltip);
    ASSERT_TRUE(tooltip);
    EXPECT_EQ(SendMessageA(tooltip, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0), 25000);
    EXPECT_EQ(SendMessageA(tooltip, TTM_GETMAXTIPWIDTH, 0, 0), 300);
    char text[100] = "";
    TTTOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.hwnd = control;
    tool.lpszText = text;
    SendMessageA(tooltip, TTM_GETTEXTA, sizeof text, (LPARAM)&tool);
    EXPECT_STREQ(text, "Starts & stops");
    DestroyWindow(window);
}
