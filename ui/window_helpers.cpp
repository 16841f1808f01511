// Tooltips and centring shared by the program's windows.
#include "ui/window_helpers.h"

#include <commctrl.h>

#include "app/startup.h"
#include "res/resource.h"

void LoadCommonControls()
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
}

HWND CreateTooltip(HWND control, const char* text)
{
    HWND tooltip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, NULL,
                                   WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                   control, NULL, programInstance, NULL);
    SetWindowPos(tooltip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    // The tool keeps the control's rectangle of this moment; a later resize of
    // the control does not move it.
    RECT area;
    GetClientRect(control, &area);

    bool asks = text == LPSTR_TEXTCALLBACKA;
    TTTOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.uFlags = TTF_SUBCLASS | (asks ? TTF_IDISHWND : 0);
    tool.hwnd = asks ? GetParent(control) : control;
    tool.uId = asks ? (UINT_PTR)control : 0;
    tool.rect = area;
    tool.hinst = programInstance;
    tool.lpszText = (LPSTR)text;
    SendMessageA(tooltip, TTM_ADDTOOLA, 0, (LPARAM)&tool);
    SendMessageA(tooltip, TTM_SETDELAYTIME, TTDT_AUTOPOP, 25000);
    SendMessageA(tooltip, TTM_SETMAXTIPWIDTH, 0, 300);
    return tooltip;
}

void CenterWindow(HWND window)
{
    RECT bounds, desktop;
    GetWindowRect(window, &bounds);
    GetWindowRect(GetDesktopWindow(), &desktop);
    unsigned width = bounds.right - bounds.left;
    unsigned height = bounds.bottom - bounds.top;
    int x = (int)((unsigned)(desktop.right - width) >> 1);
    int y = (int)((unsigned)(desktop.bottom - height) >> 1);
    MoveWindow(window, x, y, width, height, FALSE);
}

void SetProgramIcon(HWND window)
{
    HICON icon = LoadIconA(programInstance, MAKEINTRESOURCEA(IDI_PROGRAM));
    SendMessageA(window, WM_SETICON, ICON_SMALL, (LPARAM)icon);
    SendMessageA(window, WM_SETICON, ICON_BIG, (LPARAM)icon);
}
