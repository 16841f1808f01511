// The program's real dialogs from their templates, opened in-process, with
// every piece of process-wide state they touch put back afterwards.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/startup.h"
#include "engine/conversion_settings.h"
#include "engine/convert_file.h"
#include "engine/formats.h"
#include "lang/caption_numbers.h"
#include "lang/language_file.h"
#include "platform/message_box.h"
#include "platform/user_files.h"
#include "res/resource.h"
#include "tests/gtest.h"
#include "tests/test_support.h"
#include "ui/format_selectors.h"
#include "ui/main_window.h"

typedef std::vector<std::string> Texts;

inline std::string CaptionText(int k) { return "caption " + std::to_string(k); }

class MainWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        // Distinct texts, so that each message and label names its caption.
        for (int k = 0; k < captionCount; ++k) languageCaptions[0][k] = CaptionText(k);
        settings = ConversionSettings{};
        for (const OutputFormat& format : outputFormats)
            if (format.defaultOption) settings.*format.defaultOption = format.firstOption;
        lstrcpynA(moduleDirectory, directory.path().c_str(), sizeof moduleDirectory);
        SetEnvironmentVariableA(userDirectoryVariable, directory.path().c_str());
        ends = 0;
        endProgram = [] { ++ends; };
    }

    void TearDown() override
    {
        DestroyWindow(window);
        mainWindow = dialogWindow = NULL;
        conversionRunning = advancedMode = false;
        fileCount = convertedCount = failedCount = 0;
        savedCommandLine = conversionLog = logWindowText = "";
        settings = savedSettings;
        lstrcpynA(moduleDirectory, savedModuleDirectory.c_str(), sizeof moduleDirectory);
        for (int language = 0; language < languageCount; ++language)
            std::copy(savedCaptions[language].begin(), savedCaptions[language].end(), languageCaptions[language]);
        SetEnvironmentVariableA(userDirectoryVariable, NULL);
        endProgram = savedEndProgram;
    }

    void Open(int dialog = IDD_MAIN, DLGPROC procedure = MainWindowProc)
    {
        DestroyWindow(window);
        window = CreateDialogParamA(programInstance, MAKEINTRESOURCEA(dialog), NULL, procedure, 0);
        // A modeless dialog that closes hides itself: shown, it is seen to close.
        if (dialog != IDD_MAIN) ShowWindow(window, SW_SHOW);
    }

    HWND Item(int id) const { return GetDlgItem(window, id); }
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    bool Checked(int id) const { return IsDlgButtonChecked(window, id) == BST_CHECKED; }
    void Command(int id, int code = 0) { SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, code), (LPARAM)Item(id)); }
    // What a click on a check box does.
    void SetSwitch(int id, bool on) { CheckDlgButton(window, id, on); Command(id, BN_CLICKED); }

    std::string Text(int id) const { char text[1000]; return {text, (size_t)GetDlgItemTextA(window, id, text, 1000)}; }

    // What choosing an entry of a drop-down list does; of equal entries, the first.
    void Choose(int id, const std::string& entry)
    {
        SendMessageA(Item(id), CB_SETCURSEL, SendMessageA(Item(id), CB_FINDSTRINGEXACT, -1, (LPARAM)entry.c_str()), 0);
        Command(id, CBN_SELCHANGE);
    }

    void ChooseFormat(int format) { Choose(IDC_FORMAT, outputFormats[format].displayName); }

    Texts Rows() const
    {
        Texts rows(ListView_GetItemCount(Item(IDC_FILE_LIST)));
        for (size_t row = 0; row < rows.size(); ++row) {
            char text[2100] = "";
            ListView_GetItemTextA(Item(IDC_FILE_LIST), row, 0, text, sizeof text);
            rows[row] = text;
        }
        return rows;
    }

    static std::string ConfigPath() { return UserFilePath("config.dat"); }

    HWND window = NULL;
    TempDir directory;           // stands in for the program's and the user's directory
    static inline int ends = 0;  // times leaving the main window would have ended the process

    ConversionSettings savedSettings = settings;
    std::string savedModuleDirectory = moduleDirectory;
    std::vector<std::string> savedCaptions[languageCount] = {
        {languageCaptions[0], languageCaptions[0] + captionCount},
        {languageCaptions[1], languageCaptions[1] + captionCount},
        {languageCaptions[2], languageCaptions[2] + captionCount}};
    void (*savedEndProgram)() = endProgram;
};
