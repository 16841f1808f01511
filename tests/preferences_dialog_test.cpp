// The Preferences dialog from its real template, and the settings it saves.
#include "tests/main_window_fixture.h"

#include <cstring>

#include "app/preferences_dialog.h"

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

TEST_F(PreferencesTest, OkChecksTheDirectoryThenSavesTheSettings)
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
    EXPECT_EQ(SavedLines().at(10), longest + "\\") << "what a later start reads";
}
