// How the run and the window share their state:
// - conversionRunning is set by StartBatchRun on the main thread before the
//   worker exists, cleared by the main thread as a stop request, and cleared
//   by the worker once the window is put back for the next run. The worker
//   reads it before each file, so a stop takes effect after the current file.
// - runActive is set by StartBatchRun and cleared by the worker together with
//   conversionRunning; unlike that flag, a stop request leaves it set, so a
//   new run cannot start while a stopped one finishes its file.
// - fileCount grows on the main thread as rows are added and is read by the
//   worker before each file, so rows dropped during a run are reached by it.
// - The worker touches the window only by sending messages to mainWindow's
//   controls (texts, enabling, list rows, progress) and by renaming its menu
//   entry. The main thread carries the messages out, so it keeps handling
//   messages during a run, also while it waits for anything.
// - The counters, conversionLog and logWindowText belong to the worker while
//   a run is going.
// - The output directory, its switch and the deletion switch are read by a
//   file as it starts and ends; the worker holds fileLock around each file,
//   and the main thread changes them only while it holds the lock itself, so
//   every file sees them whole, old or new.
#include "ui/batch_run.h"

#include <commctrl.h>

#include <string>

#include "engine/conversion_settings.h"
#include "engine/convert_file.h"
#include "engine/image_converter.h"
#include "lang/caption_numbers.h"
#include "lang/language_file.h"
#include "platform/message_box.h"
#include "platform/thread.h"
#include "res/resource.h"
#include "ui/format_selectors.h"
#include "ui/log_window.h"
#include "ui/main_window.h"

namespace {

volatile bool runActive = false;

SRWLOCK fileLock = SRWLOCK_INIT;
// Set while the main thread waits for the lock, so that the worker lets it
// in before its next file instead of racing it for the lock.
volatile bool holdWanted = false;

const int rowTextSize = 15000;
const int selectorTextSize = 100;

// Disabled for the run, in this order; Convert and the progress bar stay.
const int controlsLockedDuringRun[] = {
    IDC_FORMAT, IDC_OPTION, IDC_FILE_LIST, IDC_ADD_FILES, IDC_REMOVE_FILES,
    IDC_RESIZE, IDC_WIDTH, IDC_HEIGHT, IDC_RESIZE_MODE, IDC_ROTATE, IDC_DEGREES, IDC_DIRECTION,
};

// What every file of a run is converted with, read from the window as the
// run starts.
struct RunSettings {
    bool resize;
    int resizeUnit;   // 0 while not resizing
    int width;
    int height;
    bool rotate;
    int direction;
    int degrees;
};

HWND Control(int id)
{
    return GetDlgItem(mainWindow, id);
}

void EnableControl(int id, bool enabled)
{
    EnableWindow(Control(id), enabled);
}

std::string SelectorText(int id)
{
    char text[selectorTextSize] = "";
    GetDlgItemTextA(mainWindow, id, text, sizeof text);
    return text;
}

void SetProgress(unsigned position)
{
    SendMessageA(Control(IDC_PROGRESS), PBM_SETPOS, position, 0);
}

// The button and the File menu entry of Convert.
void SetConvertText(const char* text)
{
    SetDlgItemTextA(mainWindow, IDC_CONVERT, text);
    ModifyMenuA(GetMenu(mainWindow), IDM_CONVERT, MF_BYCOMMAND | MF_STRING, IDM_CONVERT, text);
}

RunSettings ReadRunSettings()
{
    RunSettings run = {};
    // ICO output keeps each image's size. The switch itself stays as the
    // user left it, so that settings saved during the run keep it too.
    run.resize = settings.resizeEnabled && FormatAllowsResize(settings.outputFormat);
    if (run.resize) {
        settings.resizeWidth = GetDlgItemInt(mainWindow, IDC_WIDTH, NULL, FALSE);
        settings.resizeHeight = GetDlgItemInt(mainWindow, IDC_HEIGHT, NULL, FALSE);
        run.resizeUnit = ResizeModeOfText(SelectorText(IDC_RESIZE_MODE).c_str());
    }
    if (settings.rotateEnabled) {
        settings.rotateDegrees = GetDlgItemInt(mainWindow, IDC_DEGREES, NULL, FALSE);
        int direction = DirectionOfText(SelectorText(IDC_DIRECTION).c_str());
        if (direction) settings.rotateDirection = direction;
    }
    run.width = settings.resizeWidth;
    run.height = settings.resizeHeight;
    run.rotate = settings.rotateEnabled;
    run.direction = settings.rotateDirection;
    run.degrees = settings.rotateDegrees;
    return run;
}

RunSettings StartRun()
{
    RunSettings run = ReadRunSettings();
    SetConvertText(Caption(CaptionConverting));
    for (int id : controlsLockedDuringRun) EnableControl(id, false);
    SendMessageA(Control(IDC_PROGRESS), PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    SetProgress(0);
    return run;
}

void ConvertRow(unsigned row, char (&path)[rowTextSize], const RunSettings& run)
{
    path[0] = '\0';
    LVITEMA item = {};
    item.iSubItem = 0;
    item.pszText = path;
    item.cchTextMax = rowTextSize;
    SendMessageA(Control(IDC_FILE_LIST), LVM_GETITEMTEXTA, row, (LPARAM)&item);

    while (holdWanted) Sleep(10);
    AcquireSRWLockExclusive(&fileLock);
    ConvertFile(path, run.resize, run.resizeUnit, run.width, run.height, run.rotate, run.direction, run.degrees);
    ReleaseSRWLockExclusive(&fileLock);
}

// The counts of the run; true when the user asks to see the failures, with
// logWindowText then holding them.
bool ShowSummary()
{
    if (failedCount == 0) {
        ShowMessage(mainWindow, Caption(CaptionAllConverted), MB_OK | MB_ICONINFORMATION);
        return false;
    }
    logWindowText = std::string(Caption(CaptionConverting)) + "\n\n" +
                    IntToString((int)convertedCount) + Caption(CaptionSummaryConverted) + "\n" +
                    IntToString((int)failedCount) + Caption(CaptionSummaryFailed);
    if (ShowMessage(mainWindow, logWindowText.c_str(), MB_YESNO | MB_ICONINFORMATION) != IDYES) return false;

    logWindowText = IntToString((int)convertedCount) + Caption(CaptionLogConverted) + "\r\n" +
                    IntToString((int)failedCount) + Caption(CaptionLogFailed) + "\r\n\r\n" + conversionLog;
    return true;
}

// Back to the window's idle state; the option selector and the resize
// controls follow the format as after choosing it.
void EndRun()
{
    SetConvertText(Caption(CaptionConvertItem));
    EnableControl(IDC_FORMAT, true);
    EnableControl(IDC_FILE_LIST, true);
    EnableControl(IDC_ADD_FILES, true);
    EnableControl(IDC_REMOVE_FILES, true);
    EnableControlsForFormat();
    EnableControl(IDC_ROTATE, true);
    EnableControl(IDC_DEGREES, settings.rotateEnabled);
    EnableControl(IDC_DIRECTION, settings.rotateEnabled);
}

void ConvertThread(void*)
{
    RunSettings run = StartRun();

    char path[rowTextSize];
    unsigned progressSum = 0;   // 100 for every file handed over so far
    unsigned row = 0;           // also the number of files handed over
    while (conversionRunning) {
        unsigned count = fileCount;
        if (row >= count) break;
        ConvertRow(row, path, run);
        SetProgress(progressSum / count);
        progressSum += 100;
        ++row;
    }

    // Rows removed while a stopped run finishes its file must not leave the
    // counts to the next run.
    bool showLog = false;
    if (row != 0) {
        SetProgress(100);
        showLog = ShowSummary();
        convertedCount = 0;
        failedCount = 0;
        conversionLog.clear();
    }

    // The window is put back before the run counts as ended: a run started
    // at once after must not have its controls enabled again by this one.
    EndRun();
    conversionRunning = false;
    runActive = false;

    if (showLog) ShowLogWindow();
    EndThread();
}

} // namespace

void StartBatchRun()
{
    if (runActive) {
        ShowMessage(mainWindow, "The previous conversion has not ended yet.", MB_OK | MB_ICONERROR);
        return;
    }
    runActive = true;
    conversionRunning = true;
    if (BeginThread(ConvertThread, NULL)) return;
    conversionRunning = false;
    runActive = false;
    ShowMessage(mainWindow, "The conversion could not be started.", MB_OK | MB_ICONERROR);
}

bool BatchRunActive()
{
    return runActive;
}

void HoldRunBetweenFiles(HWND waitingWindow)
{
    if (TryAcquireSRWLockExclusive(&fileLock)) return;

    holdWanted = true;
    EnableWindow(waitingWindow, FALSE);
    while (!TryAcquireSRWLockExclusive(&fileLock)) {
        // The file may be waiting for this thread: its messages to the
        // window, or a message box owned by one of this thread's windows.
        MsgWaitForMultipleObjects(0, NULL, FALSE, 10, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    holdWanted = false;
    EnableWindow(waitingWindow, TRUE);
}

void ReleaseRun()
{
    ReleaseSRWLockExclusive(&fileLock);
}
