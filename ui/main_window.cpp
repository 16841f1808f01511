// The main window's procedure: its controls, menu commands and layout.
#include "ui/main_window.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/preferences_dialog.h"
#include "app/startup.h"
#include "engine/conversion_settings.h"
#include "lang/caption_numbers.h"
#include "lang/language_file.h"
#include "platform/desktop.h"
#include "platform/host_file.h"
#include "platform/message_box.h"
#include "res/resource.h"
#include "ui/batch_run.h"
#include "ui/file_list.h"
#include "ui/format_selectors.h"
#include "ui/main_window_captions.h"
#include "ui/window_helpers.h"

HWND mainWindow = NULL;
volatile bool conversionRunning = false;
volatile unsigned fileCount = 0;

HWND Control(int id)
{
    return GetDlgItem(mainWindow, id);
}

namespace {

void EndProcess()
{
    ExitProcess(0);
}

const int minimumWidth = 545;
const int minimumHeight = 350;
const unsigned maximumDegrees = 360;

const char* const mailAddress = "mailto:hello@bramblewick.example";
const char* const websiteAddress = "https://bramblewick.example/";

// The degrees field's value at its previous change notification.
unsigned lastDegrees = 0;

bool IsChecked(int id)
{
    return IsDlgButtonChecked(mainWindow, id) == BST_CHECKED;
}

void ShowError(const char* text)
{
    ShowMessage(mainWindow, text, MB_OK | MB_ICONERROR);
}

bool Ask(int caption, UINT defaultButton)
{
    return ShowMessage(mainWindow, Caption(caption), MB_YESNO | MB_ICONQUESTION | defaultButton) == IDYES;
}

// --- Opening ---

void ResizeSwitchChanged()
{
    settings.resizeEnabled = IsChecked(IDC_RESIZE);
    EnableWindow(Control(IDC_WIDTH), settings.resizeEnabled);
    EnableWindow(Control(IDC_HEIGHT), settings.resizeEnabled);
    EnableWindow(Control(IDC_RESIZE_MODE), settings.resizeEnabled);
}

void RotateSwitchChanged()
{
    settings.rotateEnabled = IsChecked(IDC_ROTATE);
    EnableWindow(Control(IDC_DEGREES), settings.rotateEnabled);
    EnableWindow(Control(IDC_DIRECTION), settings.rotateEnabled);
}

void SetUpResizeAndRotate()
{
    SetUpResizeAndRotateSelectors();
    SetDlgItemInt(mainWindow, IDC_WIDTH, settings.resizeWidth, FALSE);
    SetDlgItemInt(mainWindow, IDC_HEIGHT, settings.resizeHeight, FALSE);
    SetDlgItemInt(mainWindow, IDC_DEGREES, settings.rotateDegrees, FALSE);
    CheckDlgButton(mainWindow, IDC_RESIZE, settings.resizeEnabled ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(mainWindow, IDC_ROTATE, settings.rotateEnabled ? BST_CHECKED : BST_UNCHECKED);
    ResizeSwitchChanged();
    RotateSwitchChanged();
}

void OpenMainWindow(HWND window)
{
    mainWindow = window;
    dialogWindow = window;
    fileCount = 0;
    lastDegrees = 0;

    AddMainWindowTooltips();
    SetUpFormatSelectors();
    SetUpResizeAndRotate();
    SetFileListColumn(fileListColumnWidth, true);
    SetProgramIcon(window);
    SetWindowTextA(window, "Bramblewick");
    CenterWindow(window);
    ApplyMainWindowCaptions();
    UpdateLanguageMenu();
    if (advancedMode) AddFilesFromCommandLine();
    // A message shown while the window opened has taken the focus with it;
    // once the window is shown it takes the focus back.
    PostMessageA(window, WM_TAKE_FOCUS, 0, 0);
}

void TakeFocus(HWND window)
{
    SetForegroundWindow(window);
    SendMessageA(window, WM_NEXTDLGCTL, (WPARAM)Control(IDC_FILE_LIST), TRUE);
}

// --- Size ---

void LayOutControls(HWND window, WPARAM sizeType)
{
    if (sizeType == SIZE_MINIMIZED || window != mainWindow) return;
    RECT bounds;
    GetWindowRect(window, &bounds);
    int width = bounds.right - bounds.left;
    int height = bounds.bottom - bounds.top;
    int fifth = width / 5;
    int buttonsTop = height - 92;

    MoveWindow(Control(IDC_STATUS), 10, 100, width - 30, 16, TRUE);
    MoveWindow(Control(IDC_FILE_LIST), 10, 120, width - 30, height - 225, TRUE);
    MoveWindow(Control(IDC_CONVERT), 10, buttonsTop, fifth - 10, 27, TRUE);
    MoveWindow(Control(IDC_ADD_FILES), fifth + 10, buttonsTop, fifth - 10, 27, TRUE);
    MoveWindow(Control(IDC_REMOVE_FILES), 2 * fifth + 10, buttonsTop, fifth - 10, 27, TRUE);
    MoveWindow(Control(IDC_PROGRESS), 3 * fifth + 10, buttonsTop, 2 * fifth - 30, 27, TRUE);
    SetFileListColumn(width - 60);
}

// Any size change. One that a window manager made (Wine 8 does not tell it
// the tracking size) has already shrunk the X window: once Wine is done with
// it, the window asks for its size again, which Wine passes on to the X
// window.
void KeepMinimumSize(HWND window, WINDOWPOS* position)
{
    if (position->flags & SWP_NOSIZE) return;
    bool raised = position->cx < minimumWidth || position->cy < minimumHeight;
    if (position->cx < minimumWidth) position->cx = minimumWidth;
    if (position->cy < minimumHeight) position->cy = minimumHeight;
    if (raised) PostMessageA(window, WM_RESTORE_SIZE, 0, 0);
}

void RestoreSize(HWND window)
{
    if (IsIconic(window) || IsZoomed(window)) return;
    RECT bounds;
    GetWindowRect(window, &bounds);
    int width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
    const UINT flags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
    SetWindowPos(window, NULL, 0, 0, width + 1, height, flags);
    SetWindowPos(window, NULL, 0, 0, width, height, flags);
}

// The smallest size the user can drag or key in.
void SetMinimumTrackingSize(MINMAXINFO* limits)
{
    limits->ptMinTrackSize.x = minimumWidth;
    limits->ptMinTrackSize.y = minimumHeight;
}

// --- Commands ---

void Convert()
{
    if (conversionRunning) {
        AskToStop();
        return;
    }
    if (fileCount == 0) {
        ShowError(Caption(CaptionEmptyList));
        return;
    }

    if (settings.resizeEnabled) {
        settings.resizeWidth = GetDlgItemInt(mainWindow, IDC_WIDTH, NULL, FALSE);
        settings.resizeHeight = GetDlgItemInt(mainWindow, IDC_HEIGHT, NULL, FALSE);
    }
    if (settings.rotateEnabled) settings.rotateDegrees = GetDlgItemInt(mainWindow, IDC_DEGREES, NULL, FALSE);

    // ICO output keeps its size, so its resize fields are not looked at.
    bool resizing = settings.resizeEnabled && FormatAllowsResize(settings.outputFormat);
    if (resizing && (settings.resizeWidth == 0 || settings.resizeHeight == 0)) {
        ShowError(Caption(CaptionZeroSize));
        return;
    }
    if (settings.rotateEnabled && settings.rotateDegrees == 0) {
        ShowError(Caption(CaptionZeroAngle));
        return;
    }
    StartBatchRun();
}

// Also refused while a stopped run finishes its file.
void AddFiles()
{
    if (conversionRunning || BatchRunActive()) ShowError(Caption(CaptionRefusedDuringRun));
    else ShowAddFilesDialog();
}

void RemoveFiles()
{
    if (conversionRunning || BatchRunActive()) ShowError(Caption(CaptionRefusedDuringRun));
    else RemoveSelectedFiles();
}

// Delete and Ctrl+A in the file list.
void FileListKey(const NMLVKEYDOWN* key)
{
    if (key->wVKey == VK_DELETE) RemoveFiles();
    if (key->wVKey == 'A' && GetKeyState(VK_CONTROL) < 0) SelectAllFiles();
}

// The row being converted is drawn as a selected one: the list is disabled
// during a run and shows no selection of its own then.
LRESULT DrawFileListRow(NMLVCUSTOMDRAW* draw)
{
    if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
    if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT && (int)draw->nmcd.dwItemSpec == RowBeingConverted()) {
        draw->clrText = GetSysColor(COLOR_HIGHLIGHTTEXT);
        draw->clrTextBk = GetSysColor(COLOR_HIGHLIGHT);
    }
    return CDRF_DODEFAULT;
}

// The file list's tip: the full path of a row shown cut short, else caption 91.
void GiveFileListTip(NMTTDISPINFOA* info)
{
    static std::string tip;
    POINT mouse;
    GetCursorPos(&mouse);
    ScreenToClient(Control(IDC_FILE_LIST), &mouse);
    tip = FileListTipAt(mouse, Caption(CaptionFileListTip));
    info->lpszText = (LPSTR)tip.c_str();
}

// True when the notice has an answer, which then is the dialog's result.
bool Notified(HWND window, NMHDR* notice)
{
    if (notice->code == TTN_GETDISPINFOA && notice->idFrom == (UINT_PTR)Control(IDC_FILE_LIST))
        GiveFileListTip((NMTTDISPINFOA*)notice);
    if (notice->code == TTN_GETDISPINFOA && notice->idFrom == (UINT_PTR)Control(IDC_CONVERT))
        ((NMTTDISPINFOA*)notice)->lpszText = (LPSTR)ConvertTip();
    if (notice->idFrom != IDC_FILE_LIST) return false;
    if (notice->code == LVN_KEYDOWN) FileListKey((const NMLVKEYDOWN*)notice);
    if (notice->code == LVN_DELETEITEM) FileListRowDeleted((const NMLISTVIEW*)notice);
    if (notice->code != NM_CUSTOMDRAW) return false;
    SetWindowLongPtrA(window, DWLP_MSGRESULT, DrawFileListRow((NMLVCUSTOMDRAW*)notice));
    return true;
}

// Leaving the window ends the process, also in the middle of a run once the
// user has agreed. Nothing is saved.
void CloseMainWindow()
{
    if (conversionRunning && !Ask(CaptionCloseDuringRun, MB_DEFBUTTON2)) return;
    EndDialog(mainWindow, 0);
    endProgram();
}

void LimitDegrees()
{
    // Read as signed, compared as unsigned: a negative number is too large.
    unsigned degrees = GetDlgItemInt(mainWindow, IDC_DEGREES, NULL, TRUE);
    if (degrees == lastDegrees) return;
    lastDegrees = degrees;
    // Writing the field notifies again, with 360 as the new value.
    if (degrees > maximumDegrees) SetDlgItemInt(mainWindow, IDC_DEGREES, maximumDegrees, FALSE);
}

void Open(const char* target, int show)
{
    ShellExecuteA(mainWindow, "open", target, NULL, NULL, show);
}

// The guide is a file of the host's own, which its desktop shows best.
void ShowHelpContents()
{
    std::string guide = FileBesideProgram(Caption(CaptionHelpDocument));
    if (!OpenWithDesktop(guide.c_str())) ShowError(CaptionWith(CaptionGuideNotOpened, {DisplayPath(guide)}).c_str());
}

void ShowAbout()
{
    ShowMessage(mainWindow, CaptionWith(CaptionAboutText, {PROGRAM_VERSION}).c_str(), MB_OK | MB_ICONINFORMATION);
}

void RunCommand(int id, int notification)
{
    switch (id) {
    case IDM_CONVERT: case IDC_CONVERT: Convert(); break;
    case IDM_ADD_FILES: case IDC_ADD_FILES: AddFiles(); break;
    case IDM_REMOVE_FILES: case IDC_REMOVE_FILES: RemoveFiles(); break;
    case IDM_EXIT: CloseMainWindow(); break;
    case IDM_PREFERENCES: ShowPreferencesDialog(mainWindow); break;
    case IDM_SAVE_DEFAULT: SaveAsDefaultOption(); break;
    case IDM_CONTENTS: ShowHelpContents(); break;
    case IDM_MAIL: Open(mailAddress, SW_HIDE); break;
    case IDM_WEBSITE: Open(websiteAddress, SW_HIDE); break;
    case IDM_ABOUT: ShowAbout(); break;
    case IDM_ENGLISH: case IDM_NORSK: case IDM_DEUTSCH: SelectLanguage(id - IDM_ENGLISH); break;
    case IDC_FORMAT: if (notification == CBN_SELCHANGE) FormatSelectionChanged(); break;
    case IDC_OPTION: if (notification == CBN_SELCHANGE) OptionSelectionChanged(); break;
    case IDC_DEGREES: LimitDegrees(); break;
    case IDC_RESIZE: ResizeSwitchChanged(); break;
    case IDC_ROTATE: RotateSwitchChanged(); break;
    }
}

} // namespace

void (*endProgram)() = EndProcess;

// The window never closes on its own: Escape and Enter (commands 1 and 2) are
// not answered, and leaving it ends the process. Every message but a drawing
// notice of the file list also goes on to the system's dialog handling.
INT_PTR CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: OpenMainWindow(window); break;
    case WM_SIZE: LayOutControls(window, wParam); break;
    case WM_WINDOWPOSCHANGING: KeepMinimumSize(window, (WINDOWPOS*)lParam); break;
    case WM_GETMINMAXINFO: SetMinimumTrackingSize((MINMAXINFO*)lParam); break;
    case WM_COMMAND: RunCommand(LOWORD(wParam), HIWORD(wParam)); break;
    case WM_NOTIFY: return Notified(window, (NMHDR*)lParam);
    case WM_SYSCOMMAND: if (LOWORD(wParam) == SC_CLOSE) CloseMainWindow(); break;
    case WM_DROPFILES: AddDroppedFiles((HDROP)wParam); break;
    case WM_CONVERT_STATE: SetConvertState((int)wParam); break;
    case WM_TAKE_FOCUS: TakeFocus(window); break;
    case WM_RESTORE_SIZE: RestoreSize(window); break;
    case WM_REMOVE_ROWS: RemoveRows(*(const std::vector<unsigned>*)lParam); break;
    }
    return 0;
}

bool RunMainWindow()
{
    // Without a display no window can be made; a terminal user learns why
    // nothing opened instead of seeing the program end silently.
    LoadCommonControls();
    if (DialogBoxParamA(programInstance, MAKEINTRESOURCEA(IDD_MAIN), NULL, MainWindowProc, 0) != -1) return true;
    ShowMessage(NULL, Caption(CaptionNoMainWindow), MB_OK | MB_ICONERROR);
    return false;
}

