#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "app/direct_mode.h"
#include "app/preferences_dialog.h"
#include "app/settings_file.h"
#include "app/startup.h"
#include "engine/conversion_settings.h"
#include "engine/convert_file.h"
#include "platform/message_box.h"
#include "res/resource.h"
#include "tests/gtest.h"
#include "tests/images.h"
#include "tests/test_support.h"

namespace {

const char* const warning =
    "Use with caution! Some images might not always convert correctly.\nIf the result is not acceptable, "
    "you will not be able to revert back the original image since it will be deleted.";
const char* const noDirectory = "Please choose a directory to output to.";

std::string ConfigPath()
{
    return ProgramDirectory() + "\\config.dat";
}

// Line `index` (from 0) of a settings file.
std::string ConfigLine(const std::string& bytes, int index)
{
    size_t start = 0;
    for (int i = 0; i < index && start != std::string::npos; ++i) {
        start = bytes.find("\r\n", start);
        if (start != std::string::npos) start += 2;
    }
    if (start == std::string::npos) return "<missing>";
    return bytes.substr(start, bytes.find("\r\n", start) - start);
}

// The controls that tooltips owned by `window` are attached to.
std::vector<HWND> tooltipControls;
BOOL CALLBACK CollectTooltip(HWND tooltip, LPARAM window)
{
    char name[64] = "";
    GetClassNameA(tooltip, name, sizeof name);
    if (lstrcmpiA(name, TOOLTIPS_CLASSA) != 0 || GetWindow(tooltip, GW_OWNER) != (HWND)window) return TRUE;
    TTTOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    if (SendMessageA(tooltip, TTM_ENUMTOOLSA, 0, (LPARAM)&tool)) tooltipControls.push_back(tool.hwnd);
    return TRUE;
}

std::vector<HWND> TooltipControls(HWND window)
{
    tooltipControls.clear();
    EnumThreadWindows(GetCurrentThreadId(), CollectTooltip, (LPARAM)window);
    std::sort(tooltipControls.begin(), tooltipControls.end());
    return tooltipControls;
}

class PreferencesTest : public testing::Test {
protected:
    void SetUp() override
    {
        savedSettings = settings;
        savedConfig = ReadFileBytes(ConfigPath());
        configExisted = FileExists(ConfigPath());
        DeleteFileA(ConfigPath().c_str());
        settings = ConversionSettings{};
        lstrcpyA(settings.outputDirectory, "C:\\Stored\\");
    }

    void TearDown() override
    {
        if (dialog) DestroyWindow(dialog);
        dialogWindow = NULL;
        settings = savedSettings;
        if (configExisted) WriteFileBytes(ConfigPath(), savedConfig);
        else DeleteFileA(ConfigPath().c_str());
    }

    void Open()
    {
        dialog = CreateDialogParamA(programInstance, MAKEINTRESOURCEA(IDD_PREFERENCES), NULL,
                                    PreferencesDialogProc, 0);
        ASSERT_TRUE(dialog);
        ShowWindow(dialog, SW_SHOW);
    }

    HWND Item(int id) const { return GetDlgItem(dialog, id); }
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    bool Checked(int id) const { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
    bool Shown() const { return IsWindowVisible(dialog) != FALSE; }

    std::string DirectoryField() const
    {
        char text[1000] = "";
        GetDlgItemTextA(dialog, IDC_OUTPUT_DIR, text, sizeof text);
        return text;
    }

    void Command(int id) { SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)Item(id)); }

    void Click(int id)
    {
        CheckDlgButton(dialog, id, Checked(id) ? BST_UNCHECKED : BST_CHECKED);
        Command(id);
    }

    void Type(const std::string& text) { SetDlgItemTextA(dialog, IDC_OUTPUT_DIR, text.c_str()); }
    void CloseBox() { SendMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }

    HWND dialog = NULL;

private:
    ConversionSettings savedSettings;
    std::string savedConfig;
    bool configExisted = false;
};

} // namespace

TEST_F(PreferencesTest, OpensWithTheStoredSwitchesAndShowsTheDirectoryOnlyWhileUsed)
{
    settings.deleteOriginal = true;
    Open();
    EXPECT_EQ(dialogWindow, dialog);
    EXPECT_TRUE(SendMessageA(dialog, WM_GETICON, ICON_BIG, 0));
    std::vector<HWND> switches = {Item(IDC_USE_OUTPUT_DIR), Item(IDC_DELETE_ORIGINAL)};
    std::sort(switches.begin(), switches.end());
    EXPECT_EQ(TooltipControls(dialog), switches);
    EXPECT_FALSE(Checked(IDC_USE_OUTPUT_DIR));
    EXPECT_TRUE(Checked(IDC_DELETE_ORIGINAL));
    EXPECT_EQ(DirectoryField(), "");
    EXPECT_FALSE(Enabled(IDC_OUTPUT_DIR));
    EXPECT_FALSE(Enabled(IDC_BROWSE));

    // Switching on enables the field without filling in the stored directory.
    Click(IDC_USE_OUTPUT_DIR);
    EXPECT_TRUE(Enabled(IDC_OUTPUT_DIR));
    EXPECT_TRUE(Enabled(IDC_BROWSE));
    EXPECT_EQ(DirectoryField(), "");
    Type("typed");
    Click(IDC_USE_OUTPUT_DIR);
    EXPECT_FALSE(Enabled(IDC_OUTPUT_DIR));
    EXPECT_FALSE(Enabled(IDC_BROWSE));
    EXPECT_EQ(DirectoryField(), "typed");

    // Enter and Escape do nothing; the close box commits nothing.
    Click(IDC_USE_OUTPUT_DIR);
    Command(IDOK);
    Command(IDCANCEL);
    EXPECT_TRUE(Shown());
    CloseBox();
    EXPECT_FALSE(Shown());
    EXPECT_FALSE(settings.useOutputDirectory);
    EXPECT_STREQ(settings.outputDirectory, "C:\\Stored\\");
    EXPECT_FALSE(FileExists(ConfigPath()));

    DestroyWindow(dialog);
    settings.useOutputDirectory = true;
    Open();
    EXPECT_TRUE(Checked(IDC_USE_OUTPUT_DIR));
    EXPECT_TRUE(Enabled(IDC_OUTPUT_DIR));
    EXPECT_TRUE(Enabled(IDC_BROWSE));
    EXPECT_EQ(DirectoryField(), "C:\\Stored\\");
}

TEST_F(PreferencesTest, OkRefusesAnEmptyDirectoryThenStoresItWithABackslashAndSaves)
{
    MessageBoxAnswerer answers;
    Open();
    Click(IDC_USE_OUTPUT_DIR);
    Command(IDC_PREFERENCES_OK);
    ASSERT_EQ(answers.count(), 1u);
    EXPECT_EQ(answers.texts()[0], noDirectory);
    EXPECT_TRUE(Shown());
    EXPECT_FALSE(settings.useOutputDirectory);
    EXPECT_FALSE(FileExists(ConfigPath()));

    Type("C:\\Out");
    Command(IDC_PREFERENCES_OK);
    EXPECT_FALSE(Shown());
    EXPECT_TRUE(settings.useOutputDirectory);
    EXPECT_STREQ(settings.outputDirectory, "C:\\Out\\");
    std::string saved = ReadFileBytes(ConfigPath());
    EXPECT_EQ(ConfigLine(saved, 9), "1");
    EXPECT_EQ(ConfigLine(saved, 10), "C:\\Out\\");
    EXPECT_EQ(ConfigLine(saved, 11), "0");
}

TEST_F(PreferencesTest, OkWithTheSwitchOffAcceptsAnEmptyDirectory)
{
    settings.useOutputDirectory = true;
    Open();
    Type("");
    Click(IDC_USE_OUTPUT_DIR);
    Command(IDC_PREFERENCES_OK);
    EXPECT_FALSE(Shown());
    EXPECT_FALSE(settings.useOutputDirectory);
    EXPECT_STREQ(settings.outputDirectory, "\\");
    EXPECT_EQ(ConfigLine(ReadFileBytes(ConfigPath()), 10), "-");
}

TEST_F(PreferencesTest, ADirectoryOfUpTo499CharactersIsStoredWholeALongerOneRefused)
{
    MessageBoxAnswerer answers;
    std::string longest = "C:\\" + std::string(495, 'd') + "\\";   // 499 with its backslash
    settings.useOutputDirectory = true;
    Open();
    Type(longest.substr(0, 498) + "x");   // 499 typed, 500 with the backslash
    Command(IDC_PREFERENCES_OK);
    Type(std::string(600, 'e'));
    Command(IDC_PREFERENCES_OK);
    ASSERT_EQ(answers.count(), 2u);
    EXPECT_NE(answers.texts()[0].find("at most 499 characters"), std::string::npos);
    EXPECT_EQ(answers.texts()[1], answers.texts()[0]);
    EXPECT_TRUE(Shown());
    EXPECT_STREQ(settings.outputDirectory, "C:\\Stored\\");

    Type(longest);
    Command(IDC_PREFERENCES_OK);
    EXPECT_FALSE(Shown());
    EXPECT_EQ(settings.outputDirectory, longest);
    EXPECT_EQ(ConfigLine(ReadFileBytes(ConfigPath()), 10), longest);

    // With the switch off the field cannot be edited: its text is not taken.
    DestroyWindow(dialog);
    Open();
    Type(std::string(600, 'e'));
    Click(IDC_USE_OUTPUT_DIR);
    Command(IDC_PREFERENCES_OK);
    EXPECT_FALSE(Shown());
    EXPECT_FALSE(settings.useOutputDirectory);
    EXPECT_EQ(settings.outputDirectory, longest);
    EXPECT_EQ(answers.count(), 2u);
}

TEST_F(PreferencesTest, ABrowsedFolderIsTakenAtOnceAndKeptByTheCloseBox)
{
    Open();
    Click(IDC_USE_OUTPUT_DIR);
    TakeChosenFolder(dialog, "Z:\\tmp\\out");
    EXPECT_STREQ(settings.outputDirectory, "Z:\\tmp\\out\\");
    EXPECT_EQ(DirectoryField(), "Z:\\tmp\\out\\");
    TakeChosenFolder(dialog, "Z:\\tmp\\other\\");
    EXPECT_STREQ(settings.outputDirectory, "Z:\\tmp\\other\\");
    EXPECT_EQ(DirectoryField(), "Z:\\tmp\\other\\");

    CloseBox();
    EXPECT_FALSE(Shown());
    EXPECT_STREQ(settings.outputDirectory, "Z:\\tmp\\other\\");
    EXPECT_FALSE(settings.useOutputDirectory);
    EXPECT_FALSE(FileExists(ConfigPath()));
}

namespace {

// Cancels the folder browser as soon as it is active.
int browsersCancelled = 0;
LRESULT CALLBACK CancelBrowser(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE) {
        char title[100] = "";
        GetWindowTextA((HWND)wParam, title, sizeof title);
        if (strcmp(title, "Preferences") != 0 && !GetDlgItem((HWND)wParam, 0xFFFF)) {
            ++browsersCancelled;
            PostMessageA((HWND)wParam, WM_COMMAND, IDCANCEL, 0);
        }
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

} // namespace

TEST_F(PreferencesTest, ACancelledFolderBrowserKeepsATypedText)
{
    Open();
    Click(IDC_USE_OUTPUT_DIR);
    Type("typed");
    browsersCancelled = 0;
    HHOOK hook = SetWindowsHookExA(WH_CBT, CancelBrowser, NULL, GetCurrentThreadId());
    Command(IDC_BROWSE);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(browsersCancelled, 1);
    EXPECT_EQ(DirectoryField(), "typed");
    EXPECT_STREQ(settings.outputDirectory, "C:\\Stored\\");
}

TEST_F(PreferencesTest, WarnsOnEveryCheckOfDeleteAndTheCloseBoxDropsTheSwitch)
{
    MessageBoxAnswerer answers;
    Open();
    Click(IDC_DELETE_ORIGINAL);
    Click(IDC_DELETE_ORIGINAL);
    EXPECT_EQ(answers.count(), 1u);
    Click(IDC_DELETE_ORIGINAL);
    ASSERT_EQ(answers.count(), 2u);
    EXPECT_EQ(answers.texts()[0], warning);
    EXPECT_EQ(answers.texts()[1], warning);
    EXPECT_EQ(answers.titles()[1], "Bramblewick");
    CloseBox();
    EXPECT_FALSE(settings.deleteOriginal);
}

namespace {

// Fills the modal dialog in as a user would: output directory on, a folder,
// delete on, then OK.
std::string folderToType;
LRESULT CALLBACK FillInPreferences(int code, WPARAM wParam, LPARAM lParam)
{
    HWND window = (HWND)wParam;
    if (code == HCBT_ACTIVATE && GetDlgItem(window, IDC_DELETE_ORIGINAL) && !folderToType.empty()) {
        CheckDlgButton(window, IDC_USE_OUTPUT_DIR, BST_CHECKED);
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_USE_OUTPUT_DIR, BN_CLICKED), 0);
        SetDlgItemTextA(window, IDC_OUTPUT_DIR, folderToType.c_str());
        CheckDlgButton(window, IDC_DELETE_ORIGINAL, BST_CHECKED);
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_DELETE_ORIGINAL, BN_CLICKED), 0);
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_PREFERENCES_OK, BN_CLICKED), 0);
        folderToType.clear();
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

} // namespace

TEST_F(PreferencesTest, SavedPreferencesAreUsedByALaterDirectModeRun)
{
    TempDir files;
    ASSERT_TRUE(WritePatternImage(files / "photo.bmp", 8, 6, 24, FIF_BMP));
    dialogWindow = (HWND)0x1234;   // the owner of messages before the dialog

    MessageBoxAnswerer answers;
    folderToType = files / "converted";
    HHOOK hook = SetWindowsHookExA(WH_CBT, FillInPreferences, NULL, GetCurrentThreadId());
    ShowPreferencesDialog(NULL);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(dialogWindow, (HWND)0x1234);
    EXPECT_EQ(answers.texts(), std::vector<std::string>{warning});

    // A later start reads them from the file.
    settings = ConversionSettings{};
    ASSERT_TRUE(LoadSettings(ConfigPath().c_str()));
    EXPECT_TRUE(settings.useOutputDirectory);
    EXPECT_TRUE(settings.deleteOriginal);
    EXPECT_EQ(settings.outputDirectory, files / "converted\\");

    RunDirectMode("-output 4 -options 0 -inputone \"" + (files / "photo.bmp") + "\"");
    EXPECT_TRUE(FileExists(files / "converted\\photo.png"));
    EXPECT_FALSE(FileExists(files / "photo.bmp"));
    EXPECT_EQ(answers.count(), 1u);
    convertedCount = 0;
}
