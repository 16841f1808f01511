#include <windows.h>
#include <commctrl.h>

#include "app/startup.h"
#include "engine/convert_file.h"
#include "res/resource.h"
#include "tests/gtest.h"
#include "tests/test_support.h"
#include "ui/log_window.h"
#include "ui/window_helpers.h"

namespace {

std::string EditText(HWND window, int id)
{
    char text[4096] = "";
    GetDlgItemTextA(window, id, text, sizeof text);
    return text;
}

// Closes the next log window as soon as it is active, keeping what it showed.
std::string shownLogText;
LRESULT CALLBACK CloseLogWindow(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && GetDlgItem((HWND)wParam, IDC_LOG_TEXT)) {
        HWND window = (HWND)wParam;
        shownLogText = EditText(window, IDC_LOG_TEXT);
        PostMessageA(window, WM_COMMAND, IDC_LOG_OK, 0);
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

TEST(LogWindow, ShowsTheLogTextAndEndsOnlyByOkOrClose)
{
    logWindowText = "C:\\a.png\r\nError: one\r\n\r\nC:\\b.png\r\nError: two\r\n\r\n";
    HWND window = CreateDialogParamA(programInstance, MAKEINTRESOURCEA(IDD_LOG), NULL, LogWindowProc, 0);
    ASSERT_TRUE(window);
    ShowWindow(window, SW_SHOW);
    EXPECT_EQ(EditText(window, IDC_LOG_TEXT), logWindowText);
    EXPECT_TRUE(SendMessageA(window, WM_GETICON, ICON_BIG, 0));
    LONG style = GetWindowLongA(GetDlgItem(window, IDC_LOG_TEXT), GWL_STYLE);
    EXPECT_TRUE(style & ES_READONLY);
    EXPECT_TRUE(style & ES_MULTILINE);
    EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);

    // Escape and Enter arrive as commands 1 and 2 and are not answered.
    SendMessageA(window, WM_COMMAND, IDCANCEL, 0);
    SendMessageA(window, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(IsWindowVisible(window));
    SendMessageA(window, WM_COMMAND, IDC_LOG_OK, 0);
    EXPECT_FALSE(IsWindowVisible(window));
    DestroyWindow(window);

    window = CreateDialogParamA(programInstance, MAKEINTRESOURCEA(IDD_LOG), NULL, LogWindowProc, 0);
    ShowWindow(window, SW_SHOW);
    SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(IsWindowVisible(window));
    DestroyWindow(window);
    logWindowText.clear();
}

TEST(LogWindow, ModalRunReturnsWhenClosed)
{
    logWindowText = "1 converted\r\n";
    shownLogText.clear();
    HHOOK hook = SetWindowsHookExA(WH_CBT, CloseLogWindow, NULL, GetCurrentThreadId());
    ShowLogWindow();
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(shownLogText, "1 converted\r\n");
    logWindowText.clear();
}

TEST(WindowHelpers, CenterWindowUsesTheDesktopRectangle)
{
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 5, 7, 400, 300, NULL, NULL, programInstance, NULL);
    CenterWindow(window);
    RECT desktop, bounds;
    GetWindowRect(GetDesktopWindow(), &desktop);
    GetWindowRect(window, &bounds);
    EXPECT_EQ(bounds.left, (desktop.right - 400) / 2);
    EXPECT_EQ(bounds.top, (desktop.bottom - 300) / 2);
    EXPECT_EQ(bounds.right - bounds.left, 400);
    EXPECT_EQ(bounds.bottom - bounds.top, 300);
    DestroyWindow(window);
}

TEST(WindowHelpers, TooltipBelongsToItsControl)
{
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 300, 200, NULL, NULL, programInstance, NULL);
    HWND control = CreateWindowExA(0, "BUTTON", "Go", WS_CHILD, 10, 10, 80, 24, parent, NULL, programInstance, NULL);
    CreateTooltip(control, "Starts & stops");

    HWND tooltip = NULL;
    EnumThreadWindows(GetCurrentThreadId(), FindTooltip, (LPARAM)&tooltip);
    ASSERT_TRUE(tooltip);
    EXPECT_EQ(SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0), 1);
    EXPECT_EQ(SendMessageA(tooltip, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0), 25000);
    EXPECT_EQ(SendMessageA(tooltip, TTM_GETMAXTIPWIDTH, 0, 0), 300);
    EXPECT_TRUE(GetWindowLongA(tooltip, GWL_STYLE) & TTS_NOPREFIX);

    char text[100] = "";
    TTTOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.hwnd = control;
    tool.lpszText = text;
    SendMessageA(tooltip, TTM_GETTEXTA, sizeof text, (LPARAM)&tool);
    EXPECT_STREQ(text, "Starts & stops");
    DestroyWindow(parent);
}
