// The log window's procedure; used by direct mode and the main window.
#include "ui/log_window.h"

#include "app/startup.h"
#include "engine/convert_file.h"
#include "lang/caption_numbers.h"
#include "lang/language_file.h"
#include "res/resource.h"
#include "ui/window_helpers.h"

namespace {

// The focus starts on OK: in the text the dialog would select all of it and
// scroll to its end.
void OpenLogWindow(HWND window)
{
    SetProgramIcon(window);
    SetWindowTextA(window, Caption(CaptionLogTitle));
    SetDlgItemTextA(window, IDC_LOG_OK, Caption(CaptionLogOk));
    CenterWindow(window);
    SetDlgItemTextA(window, IDC_LOG_TEXT, logWindowText.c_str());
    SetFocus(GetDlgItem(window, IDC_LOG_OK));
}

} // namespace

// OK, Enter, Escape (commands 1 and 2) and the close box end the window.
INT_PTR CALLBACK LogWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        OpenLogWindow(window);
        break;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_LOG_OK || LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
            EndDialog(window, 0);
        break;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFFF) == SC_CLOSE) EndDialog(window, 0);
        break;
    }
    return 0;
}

void ShowLogWindow()
{
    LoadCommonControls();
    DialogBoxParamA(programInstance, MAKEINTRESOURCEA(IDD_LOG), NULL, LogWindowProc, 0);
}
