// Drives a running Bramblewick from outside, as a user's clicks would: waits
// up to a minute for its main window to show, prints the number of rows in
// its file list, then posts each command number given to the window.
//   send_commands [COMMAND...]
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>

#include "res/resource.h"

namespace {

BOOL CALLBACK FindMainWindow(HWND window, LPARAM found)
{
    if (!IsWindowVisible(window) || !GetDlgItem(window, IDC_FILE_LIST)) return TRUE;
    *(HWND*)found = window;
    return FALSE;
}

} // namespace

int main(int argc, char** argv)
{
    HWND window = NULL;
    for (int wait = 0; wait < 600 && !window; ++wait) {
        EnumWindows(FindMainWindow, (LPARAM)&window);
        if (!window) Sleep(100);
    }
    if (!window) {
        fprintf(stderr, "no main window showed\n");
        return 1;
    }
    printf("%d\n", (int)SendMessageA(GetDlgItem(window, IDC_FILE_LIST), LVM_GETITEMCOUNT, 0, 0));
    for (int i = 1; i < argc; ++i) PostMessageA(window, WM_COMMAND, atoi(argv[i]), 0);
    return 0;
}
