// The Preferences dialog from its real template, and its settings in a later run.
#include "tests/main_window_fixture.h"

#include <cstring>

#include "app/direct_mode.h"
#include "app/preferences_dialog.h"
#include "app/settings_file.h"
#include "tests/images.h"

using PreferencesTest = MainWindowTest;

// A stored directory is shown only while it is in use.
TEST_F(PreferencesTest, OpensFromTheSettingsAndItsCloseBoxKeepsOnlyABrowsedFolder)
{
    settings.deleteOriginal = true;
    settings.turnUpright = false;
    strcpy(settings.outputDirectory, "Z:\\stored\\");
    Open(IDD_PREFERENCES, PreferencesDialogProc);
    EXPECT_TRUE(Checked(IDC_DELETE_ORIGINAL) && !Checked(IDC_USE_OUTPUT_DIR) && Text(IDC_OUTPUT_DIR).empty());
    EXPECT_FALSE(Checked(IDC_TURN_UPRIGHT));
    char title[100] = "";
    GetWindowTextA(window, title, sizeof title);
    EXPECT_EQ(title + (", " + Text(IDC_USE_OUTPUT_DIR)) + ", " + Text(IDC_DELETE_ORIGINAL) + ", " + Text(IDC_TURN_UPRIGHT) +
                  ", " + Text(IDC_PREFERENCES_OK),
              "caption 164, caption 165, caption 166, caption 300, caption 167");
    EXPECT_FALSE(Enabled(IDC_OUTPUT_DIR) || Enabled(IDC_BROWSE));
    settings.useOutputDirectory = true;
    Open(IDD_PREFERENCES, PreferencesDialogProc);
    EXPECT_TRUE(Checked(IDC_USE_OUTPUT_DIR) && Enabled(IDC_OUTPUT_DIR) && Enabled(IDC_BROWSE));
    EXPECT_EQ(Text(IDC_OUTPUT_DIR), "Z:\\stored\\");
    SetSwitch(IDC_USE_OUTPUT_DIR, false);
    SetSwitch(IDC_DELETE_ORIGINAL, false);
    SetSwitch(IDC_TURN_UPRIGHT, true);
    EXPECT_FALSE(Enabled(IDC_OUTPUT_DIR) || Enabled(IDC_BROWSE));
    TakeChosenFolder(window, "Z:\\out");
    EXPECT_EQ(Text(IDC_OUTPUT_DIR), "Z:\\out\\");
    TakeChosenFolder(window, "Z:\\other\\");
    SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_STREQ(settings.outputDirectory, "Z:\\other\\");
    EXPECT_TRUE(settings.deleteOriginal && settings.useOutputDirectory && !settings.turnUpright);
}

TEST_F(PreferencesTest, OkChecksTheDirectoryThenSavesWhatALaterDirectModeRunUses)
{
    Open(IDD_PREFERENCES, PreferencesDialogProc);
    for (bool on : {true, false, true}) SetSwitch(IDC_DELETE_ORIGINAL, on);
    EXPECT_TRUE(Checked(IDC_TURN_UPRIGHT));
    SetSwitch(IDC_TURN_UPRIGHT, false);
    Command(IDC_PREFERENCES_OK); // no directory in use, none needed
    EXPECT_FALSE(IsWindowVisible(window));
    Texts saved = SavedLines();
    saved.resize(21);
    EXPECT_EQ(saved[9] + saved[10] + saved[11] + saved[20], "0-10");
    Open(IDD_PREFERENCES, PreferencesDialogProc);
    SetSwitch(IDC_USE_OUTPUT_DIR, true);
    const std::string longest = "C:\\" + std::string(495, 'd'); // 499 characters with the backslash OK adds
    for (const std::string& typed : Texts{"", longest + "d", longest}) {
        SetDlgItemTextA(window, IDC_OUTPUT_DIR, typed.c_str());
        Command(IDC_PREFERENCES_OK);
    }
    Open(IDD_PREFERENCES, PreferencesDialogProc);
    TakeChosenFolder(window, (longest + "d").c_str()); // a browsed folder is never cut either
    Texts texts = boxes.texts();
    ASSERT_EQ(texts.size(), 5u);
    EXPECT_EQ(texts, (Texts{CaptionText(CaptionDeleteOriginalWarning), CaptionText(CaptionDeleteOriginalWarning),
                            CaptionText(CaptionNoDirectory), CaptionText(CaptionDirectoryTooLong),
                            CaptionText(CaptionDirectoryTooLong)}));
    EXPECT_EQ(settings.outputDirectory, longest + "\\");

    TempDir files;
    ASSERT_TRUE(WritePatternImage(files / "\u0444\u043e\u0442\u043e.bmp", 8, 6, 24, FIF_BMP));
    Open(IDD_PREFERENCES, PreferencesDialogProc);
    SetDlgItemTextA(window, IDC_OUTPUT_DIR, (files / "\u5909\u63db \u00fc").c_str());
    Command(IDC_PREFERENCES_OK);
    settings = ConversionSettings{}; // a later start reads them from the file
    ASSERT_TRUE(LoadSettings(settingsFile.c_str()));
    RunDirectMode(ReadCommandLine("-output 4 -options 0 -inputone \"" + files / "\u0444\u043e\u0442\u043e.bmp" + "\""));
    EXPECT_TRUE(FileExists(files / "\u5909\u63db \u00fc\\\u0444\u043e\u0442\u043e.png"));
    EXPECT_FALSE(FileExists(files / "\u0444\u043e\u0442\u043e.bmp"));
}
