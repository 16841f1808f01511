// Acts on a running Bramblewick as a user's clicks would: waits up to a
// minute for its main window, prints the number of rows of its file list and
// posts each command number given to the window.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>

#include "res/resource.h"

static BOOL CALLBACK FindMainWindow(HWND window, LPARAM found)
{
    if (!IsWindowVisible(window) || !GetDlgItem(window, IDC_FILE_LIST)) return TRUE;
    *(HWND*)found = window;
    return FALSE;
}

int main(int argc, char** argv)
{
    HWND window = NULL;
    for (int wait = 0; wait < 600 && !window; ++wait, Sleep(100)) EnumWindows(FindMainWindow, (LPARAM)&window);
    if (!window) return 1;
    printf("%d\n", (int)SendMessageA(GetDlgItem(window, IDC_FILE_LIST), LVM_GETITEMCOUNT, 0, 0));
    for (int i = 1; i < argc; ++i) PostMessageA(window, WM_COMMAND, atoi(argv[i]), 0);
    return 0;
}
