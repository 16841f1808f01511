// The log window from its real template.
#include <windows.h>
#include <commctrl.h>

#include "app/startup.h"
#include "engine/convert_file.h"
#include "lang/caption_numbers.h"
#include "res/resource.h"
#include "tests/test_support.h"
#include "ui/log_window.h"

using LogWindowTest = ProcessStateTest;

TEST_F(LogWindowTest, ShowsTheLogFromItsStartAndEndsByOkEnterEscapeOrTheCloseBox)
{
    logWindowText = "C:\\a.png\r\nError: one\r\n\r\n";
    ShowLogWindow();
    EXPECT_EQ(boxes.texts(), Texts{"[" + CaptionText(CaptionLogTitle) + "] " + logWindowText});

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
    EXPECT_EQ(boxes.Take().size(), 4u);
}
