// stub: filled by the main window work
#include "ui/main_window.h"
HWND mainWindow = NULL;
volatile bool conversionRunning = false;
volatile unsigned fileCount = 0;
INT_PTR CALLBACK MainWindowProc(HWND, UINT, WPARAM, LPARAM) { return 0; }
void RunMainWindow() {}
