// How the run and the window share their state:
// - conversionRunning is set by StartBatchRun on the main thread before the
//   run's thread exists, cleared by the main thread as a stop request, and
//   cleared by the run once the window is put back for the next run. The run
//   reads it before starting each file, so a stop starts no new file and lets
//   the files already started (one per worker process) finish.
// - runActive is set by StartBatchRun and cleared by the run together with
//   conversionRunning; unlike that flag, a stop request leaves it set, so a
//   new run cannot start while a stopped one finishes its files.
// - fileCount grows on the main thread as rows are added and is read by the
//   run before each file, so rows dropped during a run are reached by it.
// - The run touches the window only by sending messages to mainWindow's
//   controls (texts, enabling, list rows, progress) and by renaming its menu
//   entry. The main thread carries the messages out, so it keeps handling
//   messages during a run, also while it waits for anything.
// - The counters, conversionLog and logWindowText belong to the run while it
//   is going.
// - Each file takes its own copy of the settings as it starts, holding
//   settingsLock; the main thread holds the lock while it changes the output
//   directory, its switch or the deletion switch, so every file sees them
//   whole, old or new, and a change reaches the files started after it.
#include "ui/batch_run.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "engine/conversion_settings.h"
#include "engine/convert_file.h"
#include "engine/image_converter.h"
#include "engine/worker_pool.h"
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

SRWLOCK settingsLock = SRWLOCK_INIT;

const int rowTextSize = 15000;
const int selectorTextSize = 100;

// Disabled for the run, in this order; Convert and the progress bar stay.
const int controlsLockedDuringRun[] = {
    IDC_FORMAT, IDC_OPTION, IDC_FILE_LIST, IDC_ADD_FILES, IDC_REMOVE_FILES,
    IDC_RESIZE, IDC_WIDTH, IDC_HEIGHT, IDC_RESIZE_MODE, IDC_ROTATE, IDC_DEGREES, IDC_DIRECTION,
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

// What every file of a run is converted with, read from the window as the
// run starts.
ImageChange ReadImageChange()
{
    ImageChange run = {};
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
    run.rotateDirection = settings.rotateDirection;
    run.degrees = settings.rotateDegrees;
    return run;
}

ImageChange StartRun()
{
    ImageChange run = ReadImageChange();
    SetConvertText(Caption(CaptionConverting));
    for (int id : controlsLockedDuringRun) EnableControl(id, false);
    SendMessageA(Control(IDC_PROGRESS), PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    SetProgress(0);
    return run;
}

// File `row` as it starts: the settings first, so that a change made while
// the row is read reaches the files after it.
void StartRow(unsigned row, FileStart& file)
{
    AcquireSRWLockShared(&settingsLock);
    file.settings = settings;
    ReleaseSRWLockShared(&settingsLock);

    char path[rowTextSize] = "";
    LVITEMA item = {};
    item.iSubItem = 0;
    item.pszText = path;
    item.cchTextMax = rowTextSize;
    SendMessageA(Control(IDC_FILE_LIST), LVM_GETITEMTEXTA, row, (LPARAM)&item);
    file.inputPath = path;
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
    ImageChange change = StartRun();

    unsigned started = 0;   // files handed over
    ConvertFiles(
        change,
        [&](unsigned row, FileStart& file) {
            if (!conversionRunning || row >= fileCount) return false;
            StartRow(row, file);
            started = row + 1;
            return true;
        },
        // The share of files finished before this one; rows removed after a
        // stop must not make it divide by zero.
        [&](unsigned row) { SetProgress(row * 100 / std::max((unsigned)fileCount, row + 1)); });

    // Rows removed while a stopped run finishes its file must not leave the
    // counts to the next run.
    bool showLog = false;
    if (started != 0) {
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

void LockFileSettings()
{
    AcquireSRWLockExclusive(&settingsLock);
}

void UnlockFileSettings()
{
    ReleaseSRWLockExclusive(&settingsLock);
}
