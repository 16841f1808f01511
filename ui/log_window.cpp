// stub
#include "ui/log_window.h"
INT_PTR CALLBACK LogWindowProc(HWND, UINT, WPARAM, LPARAM) { return 0; }
void ShowLogWindow() {}
