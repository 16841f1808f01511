// The file list's rows: added by dialog, drop or command line, removed by the user.
#include "ui/file_list.h"

#include <commctrl.h>
#include <commdlg.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/input_list.h"
#include "app/startup.h"
#include "engine/image_converter.h"
#include "lang/caption_numbers.h"
#include "lang/language_file.h"
#include "platform/host_file.h"
#include "platform/message_box.h"
#include "platform/user_files.h"
#include "res/resource.h"
#include "ui/main_window.h"
#include "ui/window_helpers.h"

namespace {

// Input types the list accepts; a path qualifies when one of these occurs
// anywhere in it, letter case ignored.
const char* const inputExtensions[] = {
    ".jpg", ".jpeg", ".jif", ".bmp", ".png", ".tga", ".dds", ".cut", ".gif",
    ".ico", ".iff", ".jng", ".koa", ".lbm", ".pcd", ".mng", ".pcx", ".pbm",
    ".pgm", ".ppm", ".psd", ".ras", ".tif", ".tiff", ".wbmp", ".xbm", ".xpm",
};

// The Add Files dialog's filters after "All Pictures", which lists every
// input extension; the text of filter i is caption CaptionFileTypes + i.
const char* const inputTypePatterns[] = {
    "*.bmp", "*.cut", "*.dds", "*.gif", "*.ico", "*.iff", "*.jpg;*.jpeg;*.jif", "*.jng", "*.koa", "*.lbm", "*.mng",
    "*.pbm", "*.pcd", "*.pcx", "*.pgm", "*.png", "*.ppm", "*.psd", "*.ras", "*.tif;*.tiff", "*.tga", "*.wbmp",
    "*.xbm", "*.xpm",
};

// Room for the names of a large multi-selection; a selection that does not
// fit makes the dialog fail, and nothing is added.
const DWORD openDialogBufferSize = 256 * 1024;

HWND FileList()
{
    return GetDlgItem(mainWindow, IDC_FILE_LIST);
}

bool HasInputExtension(const std::string& path)
{
    // The extensions are ASCII, and no byte of a longer UTF-8 character is:
    // lowering the ASCII letters alone keeps every other byte in its place.
    std::string lower = path;
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = (char)(c - 'A' + 'a');
    for (const char* extension : inputExtensions)
        if (lower.find(extension) != std::string::npos) return true;
    return false;
}

// The row shows the path as the user knows it and keeps the Windows path,
// which the row owns until FileListRowDeleted.
void AppendRow(const std::string& path)
{
    std::string shown = DisplayPath(path);
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = (int)fileCount;
    item.pszText = (LPSTR)shown.c_str();
    item.lParam = (LPARAM) new std::string(path);
    if (SendMessageA(FileList(), LVM_INSERTITEMA, 0, (LPARAM)&item) >= 0) fileCount = fileCount + 1;
    else delete (std::string*)item.lParam;
}

// A single path in the form AddFilesToList reads: the path, then an empty
// name list.
void AddPath(std::string path)
{
    path.append(2, '\0');
    AddFilesToList(path.c_str());
}

std::string AddFilesFilter()
{
    std::string filter = Caption(CaptionAllPictures);
    filter += '\0';
    for (const char* extension : inputExtensions) {
        if (extension != inputExtensions[0]) filter += ';';
        filter += '*';
        filter += extension;
    }
    filter += '\0';
    for (int type = 0; type < (int)(sizeof inputTypePatterns / sizeof inputTypePatterns[0]); ++type) {
        filter += Caption(CaptionFileTypes + type);
        filter += '\0';
        filter += inputTypePatterns[type];
        filter += '\0';
    }
    return filter; // the string's own NUL ends the list
}

void ShowError(HWND owner, int caption)
{
    ShowMessage(owner, Caption(caption), MB_OK | MB_ICONERROR);
}

// Adds the inputs that can be converted; the others are named in one message.
void AddInputs(const std::vector<InputEntry>& inputs)
{
    std::string refused;
    for (const InputEntry& input : inputs) {
        if (input.failure) refused += "\n\n" + FailureReport(input.path, input.failure);
        else AddPath(input.path);
    }
    if (!refused.empty())
        ShowMessage(mainWindow, (Caption(CaptionFilesNotAdded) + refused).c_str(), MB_OK | MB_ICONERROR);
}

void AddFilesOfList(const std::string& listPath)
{
    std::vector<InputEntry> inputs;
    TextFileResult list = ReadInputList(listPath, inputs);
    if (list != TextFileRead) {
        if (list == TextFileTooLarge) ShowMessage(mainWindow, Caption(CaptionListTooLarge), MB_OK | MB_ICONERROR);
        else ShowError(mainWindow, CaptionListFileUnreadable);
        return;
    }
    AddInputs(inputs);
    DeleteFileA(UserFilePath("brwk.dat").c_str());
}

} // namespace

void AddFilesToList(const char* input)
{
    std::string first = input;
    if (first.size() > maxInputPath) return;
    if (HasInputExtension(first)) {
        AppendRow(first);
        return;
    }
    // The multi-selection form: a directory, then its names.
    for (const char* name = input + first.size() + 1; *name; name += strlen(name) + 1) {
        std::string path = first + "\\" + name;
        if (path.size() <= maxInputPath) AppendRow(path);
    }
}

void ShowAddFilesDialog()
{
    std::string filter = AddFilesFilter();
    std::vector<char> selection(openDialogBufferSize, '\0');
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = mainWindow;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = selection.data();
    dialog.nMaxFile = openDialogBufferSize;
    dialog.lpstrInitialDir = "";
    dialog.lpstrTitle = Caption(CaptionAddFilesTitle);
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY;
    if (GetOpenFileNameA(&dialog) && selection[0]) AddFilesToList(selection.data());
}

void AddDroppedFiles(HDROP drop)
{
    UINT count = DragQueryFileA(drop, 0xFFFFFFFF, NULL, 0);
    for (UINT index = 0; index < count; ++index) {
        UINT length = DragQueryFileA(drop, index, NULL, 0);
        if (length == 0 || length > maxInputPath) continue;
        std::string name(length + 1, '\0');
        DragQueryFileA(drop, index, &name[0], length + 1);
        name.resize(length);
        AddPath(name);
    }
    DragFinish(drop);
}

void AddFilesFromCommandLine()
{
    const CommandLine& line = savedCommandLine;
    if (line.inputOne.present) {
        if (line.inputOne.quoted) AddInputs({InputFromText(line.inputOne.path)});
        else ShowError(NULL, CaptionNoInputOnePath);
        return;
    }
    if (line.inputMulti.present) {
        if (line.inputMulti.quoted) AddFilesOfList(line.inputMulti.path);
        else ShowError(NULL, CaptionNoInputMultiPath);
        return;
    }
    ShowError(NULL, CaptionNoInput);
}

std::string FileListPath(unsigned row)
{
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = (int)row;
    if (!SendMessageA(FileList(), LVM_GETITEMA, 0, (LPARAM)&item) || !item.lParam) return std::string();
    return *(const std::string*)item.lParam;
}

void FileListRowDeleted(const NMLISTVIEW* row)
{
    delete (std::string*)row->lParam;
}

void RemoveSelectedFiles()
{
    std::vector<unsigned> selected;
    for (unsigned row = 0; row < fileCount; ++row)
        if (SendMessageA(FileList(), LVM_GETITEMSTATE, row, LVIS_SELECTED) == LVIS_SELECTED) selected.push_back(row);
    RemoveRows(selected);
}

void RemoveRows(const std::vector<unsigned>& rows)
{
    unsigned removed = 0;
    // From the last row up, so that a deletion moves no row still to go.
    for (auto row = rows.rbegin(); row != rows.rend(); ++row)
        if (SendMessageA(FileList(), LVM_DELETEITEM, *row, 0)) ++removed;
    fileCount = fileCount - removed;
}

void SelectAllFiles()
{
    LVITEMA item = {};
    item.stateMask = item.state = LVIS_SELECTED;
    SendMessageA(FileList(), LVM_SETITEMSTATE, (WPARAM)-1, (LPARAM)&item);
}

namespace {

// Room the list leaves around a row's text in its column.
const int cellPadding = 12;

HWND fileListTooltip = NULL;
int rowUnderMouse = -1;

int RowAt(POINT point)
{
    LVHITTESTINFO hit = {};
    hit.pt = point;
    return (int)SendMessageA(FileList(), LVM_HITTEST, 0, (LPARAM)&hit);
}

// A tip asks for its text only as it shows: moving to another row hides it,
// and it shows again with that row's text.
LRESULT CALLBACK FollowRows(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (message == WM_MOUSEMOVE) {
        int row = RowAt({(short)LOWORD(lParam), (short)HIWORD(lParam)});
        if (row != rowUnderMouse) SendMessageA(fileListTooltip, TTM_POP, 0, 0);
        rowUnderMouse = row;
    }
    return DefSubclassProc(list, message, wParam, lParam);
}

} // namespace

std::string FileListTipAt(POINT point, const char* general)
{
    int row = RowAt(point);
    if (row < 0) return general;
    std::vector<char> text(maxInputPath + 1, '\0');
    LVITEMA item = {};
    item.pszText = text.data();
    item.cchTextMax = (int)text.size();
    SendMessageA(FileList(), LVM_GETITEMTEXTA, row, (LPARAM)&item);
    int width = (int)SendMessageA(FileList(), LVM_GETSTRINGWIDTHA, 0, (LPARAM)text.data());
    int column = (int)SendMessageA(FileList(), LVM_GETCOLUMNWIDTH, 0, 0);
    return width + cellPadding > column ? std::string(text.data()) : std::string(general);
}

void CreateFileListTooltip()
{
    fileListTooltip = CreateTooltip(FileList(), LPSTR_TEXTCALLBACKA);
    rowUnderMouse = -1;
    SetWindowSubclass(FileList(), FollowRows, 0, 0);
}

void SetFileListColumn(int width, bool insert)
{
    HWND list = GetDlgItem(mainWindow, IDC_FILE_LIST);
    LVCOLUMNA column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = width;
    column.pszText = (LPSTR)Caption(CaptionFileListHeader);
    column.iSubItem = 0;
    SendMessageA(list, insert ? LVM_INSERTCOLUMNA : LVM_SETCOLUMNA, 0, (LPARAM)&column);
    // A mask of 0 sets the whole extended style, not just these bits.
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
}

void SetFileListHeader()
{
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT;
    column.pszText = (LPSTR)Caption(CaptionFileListHeader);
    SendMessageA(FileList(), LVM_SETCOLUMNA, 0, (LPARAM)&column);
}
