// How the run and the window share their state:
// - conversionRunning is set by StartBatchRun on the main thread before the
//   worker exists, cleared by the main thread as a stop request, and cleared
//   by the worker once the window is put back for the next run. The worker
//   reads it before starting each file, so a stop starts no new file and
//   lets those started (one per worker process) finish.
// - runActive is set by StartBatchRun and cleared by the worker together with
//   conversionRunning; unlike that flag, a stop request leaves it set, so a
//   new run cannot start while a stopped one finishes its files.
// - What the run converts with is read from the window on the main thread
//   before the worker starts; the worker only reads it.
// - fileCount grows on the main thread as rows are added and is read by the
//   worker before each file, so rows dropped during a run are reached by it.
// - The worker touches the window only by sending messages to mainWindow and
//   its controls (texts, enabling, list rows, progress). The main thread
//   carries them out and never waits for the worker, so the window keeps
//   answering during a run. Convert's state is changed on the main thread
//   only (WM_CONVERT_STATE), which orders a confirmed stop against the run's
//   own end; once its files have ended, the run takes the stop command away
//   (ConvertEnding), which also withdraws a stop question still open.
// - Rows whose sources the run deleted leave the list as the run puts the
//   window back (WM_REMOVE_ROWS), on the main thread, which alone changes
//   rows; no row moves while the run reads them, since rows can only be
//   appended then.
// - The counters, conversionLog and logWindowText belong to the worker while
//   a run is going; files are counted and logged in list order, whatever
//   order they end in.
// - Preferences may change the output directory and the deletion switch at
//   any time; each file converts with a snapshot taken as it starts
//   (SettingsSnapshot), so it sees them whole, and new values reach the
//   files after it.
#include "ui/batch_run.h"

#include <commctrl.h>

#include <string>
#include <vector>

#include "engine/conversion_settings.h"
#include "engine/convert_file.h"
#include "engine/image_converter.h"
#include "engine/worker_pool.h"
#include "lang/caption_numbers.h"
#include "lang/language_file.h"
#include "platform/message_box.h"
#include "platform/thread.h"
#include "res/resource.h"
#include "ui/file_list.h"
#include "ui/format_selectors.h"
#include "ui/log_window.h"
#include "ui/main_window.h"
#include "ui/main_window_captions.h"

namespace {

volatile bool runActive = false;
ConvertState convertState = ConvertIdle;
volatile int markedRow = -1;

// Disabled for the run, in this order; Convert and the progress bar stay.
const int controlsLockedDuringRun[] = {
    IDC_FORMAT, IDC_OPTION, IDC_FILE_LIST, IDC_ADD_FILES, IDC_REMOVE_FILES,
    IDC_RESIZE, IDC_WIDTH, IDC_HEIGHT, IDC_RESIZE_MODE, IDC_ROTATE, IDC_DEGREES, IDC_DIRECTION,
};

// What every file of a run is converted with besides the preferences, read
// from the window as the run starts.
struct RunSettings {
    int format;
    int option;
    ImageChange change;
};
RunSettings run;

void EnableControl(int id, bool enabled)
{
    EnableWindow(Control(id), enabled);
}

// On the main thread, before the worker starts.
RunSettings ReadRunSettings()
{
    RunSettings read = {};
    read.format = settings.outputFormat;
    read.option = settings.saveOption;
    // ICO output keeps each image's size. The switch itself stays as the
    // user left it, so that settings saved during the run keep it too.
    ImageChange& change = read.change;
    change.resize = settings.resizeEnabled && FormatAllowsResize(settings.outputFormat);
    if (change.resize) {
        settings.resizeWidth = GetDlgItemInt(mainWindow, IDC_WIDTH, NULL, FALSE);
        settings.resizeHeight = GetDlgItemInt(mainWindow, IDC_HEIGHT, NULL, FALSE);
        change.resizeUnit = ResizeModeOfText(SelectedEntryName(IDC_RESIZE_MODE).c_str());
    }
    if (settings.rotateEnabled) {
        settings.rotateDegrees = GetDlgItemInt(mainWindow, IDC_DEGREES, NULL, FALSE);
        int direction = DirectionOfText(SelectedEntryName(IDC_DIRECTION).c_str());
        if (direction) settings.rotateDirection = direction;
    }
    change.width = settings.resizeWidth;
    change.height = settings.resizeHeight;
    change.rotate = settings.rotateEnabled;
    change.rotateDirection = settings.rotateDirection;
    change.degrees = settings.rotateDegrees;
    return read;
}

// --- What the window shows of a run (worker thread, by messages) ---

void SetProgress(unsigned done, unsigned count)
{
    SendMessageA(Control(IDC_PROGRESS), PBM_SETPOS, count ? done * 100 / count : 0, 0);
}

// Marks the row being converted (-1: none) and brings it into view.
void MarkRow(int row)
{
    int previous = markedRow;
    markedRow = row;
    HWND list = Control(IDC_FILE_LIST);
    if (previous >= 0) SendMessageA(list, LVM_REDRAWITEMS, previous, previous);
    if (row < 0) return;
    SendMessageA(list, LVM_REDRAWITEMS, row, row);
    SendMessageA(list, LVM_ENSUREVISIBLE, row, FALSE);
}

void ShowRunStart()
{
    SendMessageA(mainWindow, WM_CONVERT_STATE, ConvertStop, 0);
    for (int id : controlsLockedDuringRun) EnableControl(id, false);
    SendMessageA(Control(IDC_PROGRESS), PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    SetProgress(0, 1);
}

// "File N of M: name", and the row marked and scrolled into view.
void ShowFileStart(unsigned row, unsigned count, const std::string& path)
{
    std::string name = path.substr(path.find_last_of("\\/") + 1);
    std::string status = CaptionWith(CaptionFileOfCount, {std::to_string(row + 1), std::to_string(count), name});
    SetDlgItemTextA(mainWindow, IDC_STATUS, status.c_str());
    MarkRow((int)row);
}

// The counts of the run; true when the user asks to see the failures, with
// logWindowText then holding them.
bool ShowSummary(unsigned notStarted, bool stopped)
{
    std::string converted = std::to_string(convertedCount), failed = std::to_string(failedCount);
    std::string text;
    if (!stopped && failedCount == 0) {
        if (notedCount == 0) {
            ShowMessage(mainWindow, Caption(CaptionAllConverted), MB_OK | MB_ICONINFORMATION);
            return false;
        }
        text = std::string(Caption(CaptionAllConverted)) + "\n\n" +
               CaptionWith(CaptionNotedCount, {std::to_string(notedCount)});
    } else if (stopped) {
        text = std::string(Caption(CaptionRunStopped)) + "\n\n" +
               CaptionWith(CaptionStoppedCounts, {converted, failed, std::to_string(notStarted)});
        if (failedCount) text += std::string("\n\n") + Caption(CaptionLogQuestion);
    } else {
        text = std::string(Caption(CaptionRunFinished)) + "\n\n" + converted + Caption(CaptionSummaryConverted) +
               "\n" + failed + Caption(CaptionSummaryFailed);
    }
    if (failedCount == 0 && stopped) {
        ShowMessage(mainWindow, text.c_str(), MB_OK | MB_ICONINFORMATION);
        return false;
    }
    if (ShowMessage(mainWindow, text.c_str(), MB_YESNO | MB_ICONINFORMATION) != IDYES) return false;

    logWindowText = converted + Caption(CaptionLogConverted) + "\r\n" + failed + Caption(CaptionLogFailed) +
                    "\r\n\r\n" + conversionLog;
    return true;
}

// Back to the window's idle state, without the rows whose files were
// deleted; the option selector and the resize controls follow the format as
// after choosing it. The progress bar keeps the share of files done.
void ShowRunEnd(const std::vector<unsigned>& deletedRows)
{
    SendMessageA(mainWindow, WM_REMOVE_ROWS, 0, (LPARAM)&deletedRows);
    SetDlgItemTextA(mainWindow, IDC_STATUS, "");
    MarkRow(-1);
    EnableControl(IDC_FORMAT, true);
    EnableControl(IDC_FILE_LIST, true);
    EnableControl(IDC_ADD_FILES, true);
    EnableControl(IDC_REMOVE_FILES, true);
    EnableControlsForFormat();
    EnableControl(IDC_ROTATE, true);
    EnableControl(IDC_DEGREES, settings.rotateEnabled);
    EnableControl(IDC_DIRECTION, settings.rotateEnabled);
    SendMessageA(mainWindow, WM_CONVERT_STATE, ConvertIdle, 0);
}

// --- Converting ---

// File `row` as it starts: the preferences of that moment, and the row shown
// as the one being converted. False when the run is stopped or at its end.
bool StartRow(unsigned row, FileStart& file)
{
    unsigned count = fileCount;
    if (!conversionRunning || row >= count) return false;
    file.inputPath = FileListPath(row);
    ShowFileStart(row, count, file.inputPath);
    file.settings = SettingsSnapshot();
    file.settings.outputFormat = run.format;
    file.settings.saveOption = run.option;
    return true;
}

void ConvertThread(void*)
{
    ShowRunStart();
    unsigned started = 0;   // files handed over, also the next row
    std::vector<unsigned> deletedRows;
    ConvertFiles(
        run.change,
        [&](unsigned row, FileStart& file) {
            if (!StartRow(row, file)) return false;
            started = row + 1;
            return true;
        },
        [&](unsigned row, const JobOutcome& outcome) {
            SetProgress(row + 1, fileCount);
            if (outcome.sourceDeleted) deletedRows.push_back(row);
        });
    SendMessageA(mainWindow, WM_CONVERT_STATE, ConvertEnding, 0);

    // Rows removed while a stopped run finishes its files are not counted as
    // not started, and must not leave the counts to the next run.
    unsigned count = fileCount;
    unsigned notStarted = count > started ? count - started : 0;
    bool showLog = false;
    if (started != 0 || notStarted != 0) {
        showLog = ShowSummary(notStarted, notStarted != 0);
        convertedCount = 0;
        failedCount = 0;
        notedCount = 0;
        conversionLog.clear();
    }

    // The window is put back before the run counts as ended: a run started
    // at once after must not have its controls enabled again by this one.
    ShowRunEnd(deletedRows);
    conversionRunning = false;
    runActive = false;

    if (showLog) ShowLogWindow();
    EndThread();
}

} // namespace

void StartBatchRun()
{
    if (runActive) {
        ShowMessage(mainWindow, Caption(CaptionPreviousRunActive), MB_OK | MB_ICONERROR);
        return;
    }
    run = ReadRunSettings();
    runActive = true;
    conversionRunning = true;
    if (BeginThread(ConvertThread, NULL)) return;
    conversionRunning = false;
    runActive = false;
    ShowMessage(mainWindow, Caption(CaptionRunNotStarted), MB_OK | MB_ICONERROR);
}

bool BatchRunActive()
{
    return runActive;
}

void AskToStop()
{
    if (convertState == ConvertEnding) return;
    if (AskWithdrawable(mainWindow, Caption(CaptionStopRun), MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    conversionRunning = false;
    // A run that ended while the question was open has put Convert back already.
    if (convertState == ConvertStop) SetConvertState(ConvertStopping);
}

void SetConvertState(int state)
{
    convertState = (ConvertState)state;
    // Asked near the end and left open, the question would outlive the run
    // and take the summary's Enter.
    if (state != ConvertStop) WithdrawQuestion();
    int button = CaptionConvertButton, item = CaptionConvertItem;
    if (state == ConvertStop || state == ConvertEnding) button = item = CaptionStopCommand;
    if (state == ConvertStopping) button = item = CaptionStopping;
    bool enabled = state == ConvertIdle || state == ConvertStop;

    SetDlgItemTextA(mainWindow, IDC_CONVERT, Caption(button));
    EnableControl(IDC_CONVERT, enabled);
    HMENU menu = GetMenu(mainWindow);
    if (menu && GetMenuState(menu, IDM_CONVERT, MF_BYCOMMAND) != (UINT)-1) {
        ModifyMenuA(menu, IDM_CONVERT, MF_BYCOMMAND | MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED), IDM_CONVERT,
                    Caption(item));
    }
}

void ShowConvertState()
{
    SetConvertState(convertState);
}

const char* ConvertTip()
{
    return Caption(convertState == ConvertIdle ? CaptionConvertTip : CaptionStopTip);
}

int RowBeingConverted()
{
    return markedRow;
}
