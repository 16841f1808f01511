// The Preferences dialog's procedure; opened from the main window's Options menu.
#include "app/preferences_dialog.h"

#include <shlobj.h>

#include <cstring>
#include <string>

#include "app/settings_file.h"
#include "app/startup.h"
#include "engine/conversion_settings.h"
#include "lang/caption_numbers.h"
#include "lang/language_file.h"
#include "platform/message_box.h"
#include "platform/user_files.h"
#include "res/resource.h"
#include "ui/window_helpers.h"

namespace {

const ControlCaption controlCaptions[] = {
    {IDC_USE_OUTPUT_DIR, CaptionUseOutputDirectory},
    {IDC_DELETE_ORIGINAL, CaptionDeleteOriginal},
    {IDC_TURN_UPRIGHT, CaptionTurnUprightSwitch},
    {IDC_PREFERENCES_OK, CaptionPreferencesOk},
};

const ControlCaption tooltipCaptions[] = {
    {IDC_USE_OUTPUT_DIR, CaptionOutputDirectoryTip},
    {IDC_DELETE_ORIGINAL, CaptionDeleteOriginalTip},
    {IDC_TURN_UPRIGHT, CaptionTurnUprightTip},
};

// Longest directory text, ending backslash included.
const size_t longestDirectory = sizeof settings.outputDirectory - 1;

// The working copies of the two switches; they reach the settings only by OK.
bool useOutputDirectory = false;
bool deleteOriginal = false;

bool IsChecked(HWND dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

std::string WithClosingBackslash(std::string directory)
{
    if (directory.empty() || directory.back() != '\\') directory += '\\';
    return directory;
}

void EnableDirectory(HWND dialog, bool enabled)
{
    EnableWindow(GetDlgItem(dialog, IDC_OUTPUT_DIR), enabled);
    EnableWindow(GetDlgItem(dialog, IDC_BROWSE), enabled);
}

void OpenPreferences(HWND dialog)
{
    dialogWindow = dialog;
    SetProgramIcon(dialog);
    SetWindowTextA(dialog, Caption(CaptionPreferencesTitle));
    SetControlCaptions(dialog, controlCaptions);
    for (const ControlCaption& entry : tooltipCaptions)
        CreateTooltip(GetDlgItem(dialog, entry.control), Caption(entry.caption));
    CenterWindow(dialog);

    useOutputDirectory = settings.useOutputDirectory;
    deleteOriginal = settings.deleteOriginal;
    // A stored directory is shown only while it is in use.
    if (useOutputDirectory) {
        CheckDlgButton(dialog, IDC_USE_OUTPUT_DIR, BST_CHECKED);
        EnableDirectory(dialog, true);
        SetDlgItemTextA(dialog, IDC_OUTPUT_DIR, settings.outputDirectory);
    }
    if (deleteOriginal) CheckDlgButton(dialog, IDC_DELETE_ORIGINAL, BST_CHECKED);
    if (settings.turnUpright) CheckDlgButton(dialog, IDC_TURN_UPRIGHT, BST_CHECKED);
}

void UseOutputDirectoryClicked(HWND dialog)
{
    useOutputDirectory = IsChecked(dialog, IDC_USE_OUTPUT_DIR);
    EnableDirectory(dialog, useOutputDirectory);
}

void DeleteOriginalClicked(HWND dialog)
{
    deleteOriginal = IsChecked(dialog, IDC_DELETE_ORIGINAL);
    if (deleteOriginal) ShowMessage(dialog, Caption(CaptionDeleteOriginalWarning), MB_OK | MB_ICONEXCLAMATION);
}

void BrowseForFolder(HWND dialog)
{
    BROWSEINFOA browse = {};
    browse.hwndOwner = dialog;
    browse.lpszTitle = Caption(CaptionBrowseTitle);
    LPITEMIDLIST chosen = SHBrowseForFolderA(&browse);
    if (!chosen) return;
    // The ANSI form cuts a path of more than MAX_PATH bytes, which a UTF-8
    // name reaches long before MAX_PATH characters.
    WCHAR folder[MAX_PATH] = L"";
    bool hasPath = SHGetPathFromIDListW(chosen, folder);
    ILFree(chosen);
    char text[MAX_PATH * 3] = "";
    if (hasPath && WideCharToMultiByte(CP_ACP, 0, folder, -1, text, sizeof text, NULL, NULL))
        TakeChosenFolder(dialog, text);
}

std::string DirectoryText(HWND dialog)
{
    HWND edit = GetDlgItem(dialog, IDC_OUTPUT_DIR);
    std::string text(GetWindowTextLengthA(edit) + 1, '\0');
    text.resize(GetWindowTextA(edit, &text[0], (int)text.size()));
    return text;
}

void CommitPreferences(HWND dialog)
{
    std::string typed = DirectoryText(dialog);
    if (useOutputDirectory && typed.empty()) {
        ShowMessage(dialog, Caption(CaptionNoDirectory), MB_OK | MB_ICONERROR);
        return;
    }
    std::string directory = WithClosingBackslash(typed);
    // A cut directory would name another one. While the switch is off the
    // field cannot be edited, and its text is not used: the stored one stays.
    bool fits = directory.size() <= longestDirectory;
    if (useOutputDirectory && !fits) {
        ShowMessage(dialog, Caption(CaptionDirectoryTooLong), MB_OK | MB_ICONERROR);
        return;
    }

    BeginSettingsChange();
    if (fits) strcpy(settings.outputDirectory, directory.c_str());
    settings.useOutputDirectory = useOutputDirectory;
    settings.turnUpright = IsChecked(dialog, IDC_TURN_UPRIGHT);
    settings.deleteOriginal = deleteOriginal;
    EndSettingsChange();

    SaveSettings(UserFilePath("config.dat").c_str());
    EndDialog(dialog, 0);
}

void RunCommand(HWND dialog, int id)
{
    switch (id) {
    case IDC_USE_OUTPUT_DIR: UseOutputDirectoryClicked(dialog); break;
    case IDC_BROWSE: BrowseForFolder(dialog); break;
    case IDC_DELETE_ORIGINAL: DeleteOriginalClicked(dialog); break;
    case IDC_PREFERENCES_OK: CommitPreferences(dialog); break;
    }
}

} // namespace

// Enter and Escape (commands 1 and 2) are not answered; the close box drops
// the switches, but a browsed folder has already been taken over.
INT_PTR CALLBACK PreferencesDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: OpenPreferences(dialog); break;
    case WM_COMMAND: RunCommand(dialog, LOWORD(wParam)); break;
    case WM_SYSCOMMAND: if ((wParam & 0xFFF0) == SC_CLOSE) EndDialog(dialog, 0); break;
    }
    return 0;
}

void ShowPreferencesDialog(HWND owner)
{
    HWND previous = dialogWindow;
    DialogBoxParamA(programInstance, MAKEINTRESOURCEA(IDD_PREFERENCES), owner, PreferencesDialogProc, 0);
    dialogWindow = previous;
}

void TakeChosenFolder(HWND dialog, const char* folder)
{
    std::string directory = WithClosingBackslash(folder);
    // A cut directory would name another one.
    if (directory.size() > longestDirectory) {
        ShowMessage(dialog, Caption(CaptionDirectoryTooLong), MB_OK | MB_ICONERROR);
        return;
    }
    BeginSettingsChange();
    lstrcpynA(settings.outputDirectory, directory.c_str(), sizeof settings.outputDirectory);
    EndSettingsChange();
    SetDlgItemTextA(dialog, IDC_OUTPUT_DIR, directory.c_str());
}
