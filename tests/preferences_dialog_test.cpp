// The Preferences dialog from its real template, and the settings it saves.
#include "tests/main_window_fixture.h"

#include <cstring>

#include "app/preferences_dialog.h"

using PreferencesTest = MainWindowTest;

// A stored directory in use is shown, and a browsed one gets its closing
// backslash. OK needs a directory only while one is in use, and takes it
// only if it fits.
TEST_F(PreferencesTest, OkChecksTheDirectoryThenSavesTheSettings)
{
    settings.useOutputDirectory = true;
    strcpy(settings.outputDirectory, "Z:\\stored\\");
    Open(IDD_PREFERENCES, PreferencesDialogProc);
    EXPECT_TRUE(Enabled(IDC_OUTPUT_DIR) && Enabled(IDC_BROWSE));
    EXPECT_EQ(Text(IDC_OUTPUT_DIR), "Z:\\stored\\");
    TakeChosenFolder(window, "Z:\\out");
    EXPECT_EQ(Text(IDC_OUTPUT_DIR), "Z:\\out\\");
    SetSwitch(IDC_USE_OUTPUT_DIR, false);
    SetDlgItemTextA(window, IDC_OUTPUT_DIR, "");
    SetSwitch(IDC_DELETE_ORIGINAL, true);
    SetSwitch(IDC_TURN_UPRIGHT, false);
    Command(IDC_PREFERENCES_OK);
    EXPECT_FALSE(IsWindowVisible(window));

    Open(IDD_PREFERENCES, PreferencesDialogProc);
    SetSwitch(IDC_USE_OUTPUT_DIR, true);
    const std::string longest = "C:\\" + std::string(495, 'd'); // 499 characters with the backslash OK adds
    for (const std::string& typed : Texts{"", longest + "d", longest}) {
        SetDlgItemTextA(window, IDC_OUTPUT_DIR, typed.c_str());
        Command(IDC_PREFERENCES_OK);
    }
    Texts saved = SavedLines();
    saved.resize(21);
    EXPECT_EQ(saved[9] + " " + saved[10] + " " + saved[11] + saved[20], "1 " + longest + "\\ 10");
    EXPECT_EQ(boxes.texts(), (Texts{CaptionText(CaptionDeleteOriginalWarning), CaptionText(CaptionNoDirectory),
                                    CaptionText(CaptionDirectoryTooLong)}));
}
