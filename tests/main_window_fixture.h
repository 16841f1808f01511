// A real main window from the program's template, opened in-process, with
// every piece of process-wide state it touches put back afterwards.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "app/startup.h"
#include "engine/conversion_settings.h"
#include "engine/formats.h"
#include "lang/language_file.h"
#include "platform/message_box.h"
#include "res/resource.h"
#include "tests/gtest.h"
#include "tests/test_support.h"
#include "ui/format_selectors.h"
#include "ui/main_window.h"

typedef std::vector<std::string> Texts;

class MainWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        savedSettings = settings;
        savedModuleDirectory = moduleDirectory;
        for (int language = 0; language < languageCount; ++language)
            for (int k = 0; k < captionCount; ++k) savedCaptions[language][k] = languageCaptions[language][k];
        savedConfig = ReadFileBytes(ConfigPath());
        configExisted = FileExists(ConfigPath());

        // Distinct texts, so that each message and label names its caption.
        for (int k = 0; k < captionCount; ++k) languageCaptions[0][k] = "caption " + std::to_string(k);
        settings = ConversionSettings{};
        for (int format = 1; format <= formatCount; ++format)
            if (outputFormats[format].defaultOption)
                settings.*outputFormats[format].defaultOption = outputFormats[format].firstOption;
        lstrcpynA(moduleDirectory, directory.path().c_str(), sizeof moduleDirectory);
        ends = 0;
        endProgram = CountEnd;
    }

    void TearDown() override
    {
        if (window) DestroyWindow(window);
        mainWindow = NULL;
        dialogWindow = NULL;
        conversionRunning = false;
        fileCount = 0;
        endProgram = savedEndProgram;
        advancedMode = false;
        savedCommandLine.clear();
        appliedFormat = 0;
        selectedFormatText[0] = '\0';
        selectedOptionText[0] = '\0';
        settings = savedSettings;
        lstrcpynA(moduleDirectory, savedModuleDirectory.c_str(), sizeof moduleDirectory);
        for (int language = 0; language < languageCount; ++language)
            for (int k = 0; k < captionCount; ++k) languageCaptions[language][k] = savedCaptions[language][k];
        if (configExisted) WriteFileBytes(ConfigPath(), savedConfig);
        else DeleteFileA(ConfigPath().c_str());
    }

    void Open()
    {
        window = CreateDialogParamA(programInstance, MAKEINTRESOURCEA(IDD_MAIN), NULL, MainWindowProc, 0);
        ASSERT_TRUE(window);
        ASSERT_EQ(mainWindow, window);
    }

    HWND Item(int id) const { return GetDlgItem(window, id); }

    std::string Text(int id) const
    {
        char text[1000] = "";
        GetDlgItemTextA(window, id, text, sizeof text);
        return text;
    }

    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    bool Checked(int id) const { return IsDlgButtonChecked(window, id) == BST_CHECKED; }

    void Command(int id, int notification = 0)
    {
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, notification), (LPARAM)Item(id));
    }

    void MenuCommand(int id) { SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

    // What a click on a check box does.
    void SetSwitch(int id, bool on)
    {
        CheckDlgButton(window, id, on ? BST_CHECKED : BST_UNCHECKED);
        Command(id, BN_CLICKED);
    }

    // What choosing an entry of a drop-down list does.
    void Choose(int id, int position)
    {
        SendMessageA(Item(id), CB_SETCURSEL, position, 0);
        Command(id, CBN_SELCHANGE);
    }

    void ChooseFormat(int format)
    {
        LRESULT position = SendMessageA(Item(IDC_FORMAT), CB_FINDSTRINGEXACT, (WPARAM)-1,
                                        (LPARAM)outputFormats[format].displayName);
        ASSERT_NE(position, CB_ERR);
        Choose(IDC_FORMAT, (int)position);
    }

    int Selected(int id) const { return (int)SendMessageA(Item(id), CB_GETCURSEL, 0, 0); }
    int EntryCount(int id) const { return (int)SendMessageA(Item(id), CB_GETCOUNT, 0, 0); }

    std::vector<std::string> Rows() const
    {
        std::vector<std::string> rows;
        int count = (int)SendMessageA(Item(IDC_FILE_LIST), LVM_GETITEMCOUNT, 0, 0);
        for (int row = 0; row < count; ++row) {
            char text[15000] = "";
            LVITEMA item = {};
            item.iSubItem = 0;
            item.pszText = text;
            item.cchTextMax = sizeof text;
            SendMessageA(Item(IDC_FILE_LIST), LVM_GETITEMTEXTA, row, (LPARAM)&item);
            rows.push_back(text);
        }
        return rows;
    }

    void SelectRows(const std::vector<int>& rows)
    {
        for (int row : rows) {
            LVITEMA item = {};
            item.stateMask = LVIS_SELECTED;
            item.state = LVIS_SELECTED;
            SendMessageA(Item(IDC_FILE_LIST), LVM_SETITEMSTATE, row, (LPARAM)&item);
        }
    }

    // Lets a batch run go to its end, its messages answered by the test.
    void WaitForRunToEnd()
    {
        for (DWORD start = GetTickCount(); conversionRunning && GetTickCount() - start < 20000;) PumpMessages(20);
        ASSERT_FALSE(conversionRunning) << "the run did not end";
        PumpMessages(50);
    }

    static std::string ConfigPath() { return ProgramDirectory() + "\\config.dat"; }

    static void CountEnd() { ++ends; }

    HWND window = NULL;
    TempDir directory;   // stands in for the program's directory (brwk.dat)
    static inline int ends = 0; // times leaving the window would have ended the process

private:
    ConversionSettings savedSettings;
    std::string savedModuleDirectory;
    std::string savedCaptions[languageCount][captionCount];
    std::string savedConfig;
    bool configExisted = false;
    void (*savedEndProgram)() = endProgram;
};
