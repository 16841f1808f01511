#include "tests/main_window_fixture.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "lang/caption_numbers.h"
#include "lang/captions.h"
#include "ui/file_list.h"

namespace {

struct TooltipSearch {
    HWND owner;
    int count;
};

BOOL CALLBACK CountTooltip(HWND window, LPARAM search)
{
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    TooltipSearch& found = *(TooltipSearch*)search;
    if (lstrcmpiA(name, TOOLTIPS_CLASSA) == 0 && GetWindow(window, GW_OWNER) == found.owner) ++found.count;
    return TRUE;
}

int TooltipsOf(HWND window)
{
    TooltipSearch search = {window, 0};
    EnumThreadWindows(GetCurrentThreadId(), CountTooltip, (LPARAM)&search);
    return search.count;
}

// A control's rectangle in the client coordinates of its window.
RECT PlaceOf(HWND control)
{
    RECT place;
    GetWindowRect(control, &place);
    MapWindowPoints(NULL, GetParent(control), (POINT*)&place, 2);
    return place;
}

void ExpectPlace(HWND control, int x, int y, int width, int height)
{
    RECT place = PlaceOf(control);
    EXPECT_EQ(place.left, x);
    EXPECT_EQ(place.top, y);
    EXPECT_EQ(place.right - place.left, width);
    EXPECT_EQ(place.bottom - place.top, height);
}

UINT MenuState(HWND window, int command)
{
    return GetMenuState(GetMenu(window), command, MF_BYCOMMAND);
}

// Closes the Preferences dialog with its close box as soon as it is active.
LRESULT CALLBACK ClosePreferences(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && GetDlgItem((HWND)wParam, IDC_DELETE_ORIGINAL))
        PostMessageA((HWND)wParam, WM_SYSCOMMAND, SC_CLOSE, 0);
    return CallNextHookEx(NULL, code, wParam, lParam);
}

} // namespace

using FormatSelectorsTest = MainWindowTest;

static std::string OptionName(int option)
{
    return "caption " + std::to_string(saveOptions[option].caption);
}

// --- Opening, size ---

TEST_F(MainWindowTest, OpensWithJpgItsRememberedOptionAndFourteenTooltips)
{
    settings.jpgDefaultOption = 5;
    Open();
    char title[100] = "";
    GetWindowTextA(window, title, sizeof title);
    EXPECT_STREQ(title, "Bramblewick");
    EXPECT_TRUE(SendMessageA(window, WM_GETICON, ICON_BIG, 0));
    EXPECT_EQ(TooltipsOf(window), 14);
    EXPECT_EQ(fileCount, 0u);
    EXPECT_TRUE(MenuState(window, IDM_ENGLISH) & MF_CHECKED);

    // The format list sorts itself: JPG stands fourth.
    EXPECT_EQ(EntryCount(IDC_FORMAT), formatCount);
    EXPECT_EQ(Selected(IDC_FORMAT), 3);
    EXPECT_EQ(settings.outputFormat, FormatJpg);
    EXPECT_EQ(EntryCount(IDC_OPTION), 5);
    EXPECT_EQ(Text(IDC_OPTION), OptionName(5));
    EXPECT_EQ(settings.saveOption, 5);
}

TEST_F(MainWindowTest, OpeningTakesSwitchesFieldsAndSelectorTextsFromSettings)
{
    settings.resizeEnabled = true;
    settings.resizeWidth = 640;
    settings.resizeHeight = 480;
    strcpy(settings.resizeModeText, "Pixels");
    settings.rotateDegrees = 90;
    strcpy(settings.rotateDirectionText, "Right");
    Open();

    EXPECT_TRUE(Checked(IDC_RESIZE));
    EXPECT_EQ(Text(IDC_WIDTH) + "x" + Text(IDC_HEIGHT), "640x480");
    EXPECT_TRUE(Enabled(IDC_WIDTH) && Enabled(IDC_HEIGHT) && Enabled(IDC_RESIZE_MODE));
    EXPECT_EQ(Text(IDC_RESIZE_MODE), "Pixels");
    EXPECT_EQ(settings.resizeMode, Pixels);

    EXPECT_FALSE(Checked(IDC_ROTATE));
    EXPECT_EQ(Text(IDC_DEGREES), "90");
    EXPECT_FALSE(Enabled(IDC_DEGREES) || Enabled(IDC_DIRECTION));
    EXPECT_EQ(Text(IDC_DIRECTION), "Right");
    EXPECT_EQ(settings.rotateDirection, Right);
}

TEST_F(MainWindowTest, LayoutFollowsTheWindowSizeDownTo545By350)
{
    Open();
    RECT format = PlaceOf(Item(IDC_FORMAT));
    SetWindowPos(window, NULL, 0, 0, 800, 600, SWP_NOMOVE | SWP_NOZORDER);
    ExpectPlace(Item(IDC_FILE_LIST), 10, 120, 770, 375);
    ExpectPlace(Item(IDC_CONVERT), 10, 508, 150, 27);
    ExpectPlace(Item(IDC_ADD_FILES), 170, 508, 150, 27);
    ExpectPlace(Item(IDC_REMOVE_FILES), 330, 508, 150, 27);
    ExpectPlace(Item(IDC_PROGRESS), 490, 508, 290, 27);
    EXPECT_EQ(SendMessageA(Item(IDC_FILE_LIST), LVM_GETCOLUMNWIDTH, 0, 0), 740);
    EXPECT_EQ(PlaceOf(Item(IDC_FORMAT)).top, format.top) << "the selectors keep their places";

    SetWindowPos(window, NULL, 0, 0, 300, 600, SWP_NOMOVE | SWP_NOZORDER);
    RECT bounds;
    GetWindowRect(window, &bounds);
    EXPECT_EQ(bounds.right - bounds.left, 545);
    EXPECT_EQ(bounds.bottom - bounds.top, 600);
    SetWindowPos(window, NULL, 0, 0, 900, 100, SWP_NOMOVE | SWP_NOZORDER);
    GetWindowRect(window, &bounds);
    EXPECT_EQ(bounds.right - bounds.left, 900);
    EXPECT_EQ(bounds.bottom - bounds.top, 350);
}

// --- Commands ---

TEST_F(MainWindowTest, ConvertChecksTheResizeAndRotateFieldsBeforeStarting)
{
    const std::string resizeZero = "Resize height and width cannot be zero.";
    const std::string rotateZero = "Rotate degree cannot be zero.";
    MessageBoxAnswerer boxes(IDNO);
    Open();
    Command(IDC_CONVERT);
    EXPECT_FALSE(conversionRunning);
    EXPECT_EQ(boxes.count(), 0u) << "an empty list starts nothing and says nothing";

    // A file that does not exist: a run started here writes nothing.
    AddFilesToList((directory / "missing.png" + '\0').c_str());
    SetSwitch(IDC_RESIZE, true);
    SetDlgItemTextA(window, IDC_WIDTH, "0");
    SetDlgItemTextA(window, IDC_HEIGHT, "480");
    MenuCommand(IDM_CONVERT);
    EXPECT_FALSE(conversionRunning);
    EXPECT_EQ(boxes.texts(), Texts{resizeZero});
    EXPECT_EQ(boxes.titles(), Texts{"Bramblewick"});

    // ICO keeps the image's size, so the fields do not matter.
    ChooseFormat(FormatIco);
    Command(IDC_CONVERT);
    EXPECT_TRUE(conversionRunning);
    WaitForRunToEnd();

    ChooseFormat(FormatJpg);
    SetDlgItemTextA(window, IDC_WIDTH, "640");
    SetSwitch(IDC_ROTATE, true);
    SetDlgItemTextA(window, IDC_DEGREES, "");
    Command(IDC_CONVERT);
    EXPECT_FALSE(conversionRunning);
    EXPECT_EQ(boxes.texts().back(), rotateZero);

    SetDlgItemTextA(window, IDC_DEGREES, "90");
    Command(IDC_CONVERT);
    EXPECT_TRUE(conversionRunning);
    EXPECT_EQ(settings.resizeWidth, 640);
    EXPECT_EQ(settings.resizeHeight, 480);
    EXPECT_EQ(settings.rotateDegrees, 90);
    WaitForRunToEnd();
    Texts texts = boxes.texts();
    EXPECT_EQ(std::count(texts.begin(), texts.end(), resizeZero), 1);
    EXPECT_EQ(std::count(texts.begin(), texts.end(), rotateZero), 1);
}

TEST_F(MainWindowTest, DuringARunConvertAsksToStopAndTheFileCommandsAreRefused)
{
    MessageBoxAnswerer boxes;
    Open();
    AddFilesToList("C:\\Pics\\a.png\0");
    SelectRows({0});
    conversionRunning = true;

    boxes.Answer(IDNO);
    Command(IDC_CONVERT);
    EXPECT_TRUE(conversionRunning);
    boxes.Answer(IDYES);
    MenuCommand(IDM_CONVERT);
    EXPECT_FALSE(conversionRunning);

    conversionRunning = true;
    Command(IDC_ADD_FILES);
    MenuCommand(IDM_REMOVE_FILES);
    EXPECT_EQ(fileCount, 1u);
    EXPECT_EQ(boxes.texts(), (Texts{"caption 104", "caption 104", "caption 101", "caption 101"}));
}

TEST_F(MainWindowTest, ExitAndTheCloseBoxEndTheProgramAfterAskingDuringARun)
{
    MessageBoxAnswerer boxes;
    Open();
    ShowWindow(window, SW_SHOW);
    // Escape and Enter arrive as commands 1 and 2 and close nothing.
    SendMessageA(window, WM_COMMAND, IDCANCEL, 0);
    SendMessageA(window, WM_COMMAND, IDOK, 0);

    conversionRunning = true;
    boxes.Answer(IDNO);
    MenuCommand(IDM_EXIT);
    boxes.Answer(IDNO);
    SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(ends, 0);
    EXPECT_TRUE(IsWindowVisible(window));

    boxes.Answer(IDYES);
    SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(ends, 1);
    conversionRunning = false;
    MenuCommand(IDM_EXIT);
    EXPECT_EQ(ends, 2);
    EXPECT_EQ(boxes.texts(), Texts(3, "caption 100")) << "closing while idle asks nothing";
}

TEST_F(MainWindowTest, HelpMenuAndPreferences)
{
    MessageBoxAnswerer boxes;
    Open();
    MenuCommand(IDM_ABOUT);
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_EQ(boxes.texts()[0].rfind("Bramblewick v2.2.0", 0), 0u);

    // A help document that cannot be opened says nothing.
    languageCaptions[0][CaptionHelpDocument] = "missing-help.html";
    MenuCommand(IDM_CONTENTS);
    HHOOK hook = SetWindowsHookExA(WH_CBT, ClosePreferences, NULL, GetCurrentThreadId());
    MenuCommand(IDM_PREFERENCES);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(boxes.count(), 1u);
}

TEST_F(MainWindowTest, SwitchesEnableTheirFieldsAndDegreesStopAt360)
{
    Open();
    SetSwitch(IDC_RESIZE, true);
    SetSwitch(IDC_ROTATE, true);
    EXPECT_TRUE(settings.resizeEnabled && settings.rotateEnabled);
    EXPECT_TRUE(Enabled(IDC_WIDTH) && Enabled(IDC_HEIGHT) && Enabled(IDC_RESIZE_MODE));
    EXPECT_TRUE(Enabled(IDC_DEGREES) && Enabled(IDC_DIRECTION));

    for (const char* typed : {"400", "90", "360", "99999"}) {
        SetDlgItemTextA(window, IDC_DEGREES, typed);
        EXPECT_EQ(Text(IDC_DEGREES), atoi(typed) > 360 ? "360" : typed);
    }

    SetSwitch(IDC_RESIZE, false);
    SetSwitch(IDC_ROTATE, false);
    EXPECT_FALSE(settings.resizeEnabled || settings.rotateEnabled);
    EXPECT_FALSE(Enabled(IDC_WIDTH) || Enabled(IDC_HEIGHT) || Enabled(IDC_RESIZE_MODE));
    EXPECT_FALSE(Enabled(IDC_DEGREES) || Enabled(IDC_DIRECTION));
}

TEST_F(MainWindowTest, LanguageEntriesSwitchTheCaptionsMarkTheLanguageAndSaveIt)
{
    Open();
    DeleteFileA(ConfigPath().c_str());
    MenuCommand(IDM_NORSK);
    EXPECT_EQ(settings.language, 1);
    EXPECT_EQ(Text(IDC_CONVERT), "");
    EXPECT_TRUE(MenuState(window, IDM_NORSK) & MF_CHECKED);
    EXPECT_FALSE(MenuState(window, IDM_ENGLISH) & MF_CHECKED);
    EXPECT_TRUE(FileExists(ConfigPath()));

    MenuCommand(IDM_ENGLISH);
    EXPECT_EQ(Text(IDC_CONVERT), "caption 0");
    EXPECT_TRUE(MenuState(window, IDM_ENGLISH) & MF_CHECKED);
}

// --- Format and option selectors ---

TEST_F(FormatSelectorsTest, TifShowsItsRememberedOptionUntilAnotherIsChosen)
{
    settings.tifDefaultOption = 12;
    Open();
    ChooseFormat(FormatTif);
    EXPECT_EQ(EntryCount(IDC_OPTION), 8);
    EXPECT_EQ(Selected(IDC_OPTION), 2);
    EXPECT_EQ(settings.saveOption, 12);

    Choose(IDC_OPTION, 3);
    EXPECT_EQ(settings.saveOption, 13);
    ChooseFormat(FormatTif);
    EXPECT_EQ(Selected(IDC_OPTION), 3) << "the format already shown is not set up again";
    EXPECT_EQ(settings.saveOption, 13);

    ChooseFormat(FormatPng);
    ChooseFormat(FormatTif);
    EXPECT_EQ(Selected(IDC_OPTION), 2);
    EXPECT_EQ(settings.saveOption, 12);
    EXPECT_EQ(settings.tifDefaultOption, 12) << "choosing does not remember";
}

TEST_F(FormatSelectorsTest, FormatsWithoutOptionsAndIcoWhichAlsoKeepsItsSize)
{
    settings.resizeEnabled = true;
    Open();
    ChooseFormat(FormatPng);
    EXPECT_EQ(settings.saveOption, 0);
    EXPECT_FALSE(Enabled(IDC_OPTION));
    EXPECT_EQ(EntryCount(IDC_OPTION), 0);
    EXPECT_TRUE(Enabled(IDC_RESIZE) && Enabled(IDC_WIDTH) && Enabled(IDC_HEIGHT) && Enabled(IDC_RESIZE_MODE));

    ChooseFormat(FormatIco);
    EXPECT_FALSE(Enabled(IDC_RESIZE) || Enabled(IDC_WIDTH) || Enabled(IDC_HEIGHT) || Enabled(IDC_RESIZE_MODE));
    EXPECT_FALSE(Enabled(IDC_OPTION));
    EXPECT_TRUE(Checked(IDC_RESIZE) && settings.resizeEnabled) << "the switch itself is kept";

    ChooseFormat(FormatJpg);
    EXPECT_TRUE(Enabled(IDC_RESIZE) && Enabled(IDC_WIDTH) && Enabled(IDC_HEIGHT) && Enabled(IDC_RESIZE_MODE));
    EXPECT_TRUE(Enabled(IDC_OPTION));
}

// Options of one name, or a language with no captions at all, must not make
// an entry stand for another format's option.
TEST_F(FormatSelectorsTest, AnEntryStandsForTheOptionAtItsPlaceWhateverItsName)
{
    languageCaptions[0][saveOptions[1].caption] = OptionName(5);
    Open();
    Choose(IDC_OPTION, 2);
    EXPECT_EQ(settings.saveOption, 5);
    EXPECT_EQ(selectedOptionText, OptionName(5));

    for (int language : {1, 2}) {
        SelectLanguage(language);
        EXPECT_STREQ(saveOptionNames[4], "");
        Choose(IDC_OPTION, 1);
        EXPECT_EQ(settings.saveOption, 4) << "language " << language;
        ChooseFormat(FormatXpm);
        Choose(IDC_OPTION, 0);
        EXPECT_EQ(settings.saveOption, 28) << "language " << language;
        ChooseFormat(FormatJpg);
    }
}

TEST_F(FormatSelectorsTest, SaveAsDefaultRemembersTheOptionOfTheCurrentFormatOnly)
{
    MessageBoxAnswerer boxes;
    Open();
    DeleteFileA(ConfigPath().c_str());
    ChooseFormat(FormatPbm);
    Choose(IDC_OPTION, 1);
    boxes.Answer(IDNO);
    MenuCommand(IDM_SAVE_DEFAULT);
    EXPECT_EQ(settings.pbmDefaultOption, 8);
    EXPECT_FALSE(FileExists(ConfigPath())) << "No writes nothing";

    boxes.Answer(IDYES);
    MenuCommand(IDM_SAVE_DEFAULT);
    EXPECT_EQ(settings.pbmDefaultOption, 9);
    EXPECT_EQ(settings.pgmDefaultOption + settings.ppmDefaultOption, 16);
    EXPECT_TRUE(FileExists(ConfigPath()));

    // A format without options remembers nothing but still saves.
    DeleteFileA(ConfigPath().c_str());
    ChooseFormat(FormatPng);
    boxes.Answer(IDYES);
    MenuCommand(IDM_SAVE_DEFAULT);
    EXPECT_TRUE(FileExists(ConfigPath()));
    EXPECT_EQ(boxes.texts(), Texts(3, "caption 120"));
}
