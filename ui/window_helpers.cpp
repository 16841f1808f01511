// stub
#include "ui/window_helpers.h"
void CreateTooltip(HWND, const char*) {}
void CenterWindow(HWND) {}
void SetProgramIcon(HWND) {}
