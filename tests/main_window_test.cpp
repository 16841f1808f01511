#include "tests/main_window_fixture.h"

#include <cstring>

#include "ui/file_list.h"

namespace {

// Left, top, width and height, in the client area of the parent if any.
std::vector<int> Place(HWND window)
{
    RECT place;
    GetWindowRect(window, &place);
    MapWindowPoints(NULL, GetParent(window), (POINT*)&place, 2);
    return {place.left, place.top, place.right - place.left, place.bottom - place.top};
}

bool MenuChecked(int command) { return GetMenuState(GetMenu(mainWindow), command, MF_BYCOMMAND) & MF_CHECKED; }

} // namespace

TEST_F(MainWindowTest, OpensFromTheSettingsAndLaysItsControlsOutDownTo545By350)
{
    settings.jpgDefaultOption = 5;
    settings.resizeEnabled = true;
    strcpy(settings.rotateDirectionText, "Right");
    Open();
    int tooltips = 0;
    for (HWND tip = NULL; (tip = FindWindowExA(NULL, tip, TOOLTIPS_CLASSA, NULL));)
        tooltips += GetWindow(tip, GW_OWNER) == window;
    EXPECT_EQ(tooltips, 14);
    EXPECT_EQ(Text(IDC_OPTION), CaptionText(saveOptions[5].caption));
    EXPECT_EQ(settings.saveOption, 5);
    EXPECT_EQ(Text(IDC_DIRECTION), "Right");
    EXPECT_TRUE(Checked(IDC_RESIZE) && Enabled(IDC_WIDTH) && Enabled(IDC_HEIGHT) && Enabled(IDC_RESIZE_MODE));
    EXPECT_FALSE(Checked(IDC_ROTATE) || Enabled(IDC_DEGREES) || Enabled(IDC_DIRECTION));

    SetWindowPos(window, NULL, 0, 0, 800, 600, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(Place(Item(IDC_FILE_LIST)), (std::vector<int>{10, 120, 770, 375}));
    EXPECT_EQ(Place(Item(IDC_PROGRESS)), (std::vector<int>{490, 508, 290, 27}));
    SetWindowPos(window, NULL, 0, 0, 300, 100, SWP_NOMOVE | SWP_NOZORDER); // held at 545 by 350
    EXPECT_EQ(Place(Item(IDC_PROGRESS)), (std::vector<int>{337, 258, 188, 27}));
    // What a window manager and the keyboard's sizing are told.
    MINMAXINFO limits = {};
    SendMessageA(window, WM_GETMINMAXINFO, 0, (LPARAM)&limits);
    EXPECT_EQ((std::vector<int>{limits.ptMinTrackSize.x, limits.ptMinTrackSize.y}), (std::vector<int>{545, 350}));
}

TEST_F(MainWindowTest, ConvertChecksItsFieldsAndARunGuardsTheCommandsThatWouldDisturbIt)
{
    MessageBoxAnswerer boxes(IDNO);
    Open();
    Command(IDC_CONVERT); // an empty list
    AddFilesToList("C:\\missing.png");
    SetSwitch(IDC_RESIZE, true); // at 0 by 0
    Command(IDM_CONVERT);
    SetSwitch(IDC_RESIZE, false);
    SetSwitch(IDC_ROTATE, true); // at 0 degrees
    Command(IDC_CONVERT);
    // Degrees stop at 360; read as a signed number, a negative one is too large as well.
    for (const Texts& degrees : std::vector<Texts>{{"400", "360"}, {"90", "90"}, {"99999", "360"}, {"-5", "360"}}) {
        SetDlgItemTextA(window, IDC_DEGREES, degrees[0].c_str());
        EXPECT_EQ(Text(IDC_DEGREES), degrees[1]) << degrees[0];
    }

    // During a run: No to each question, Enter to the close box's (No is its
    // default), then Yes.
    ListView_SetItemState(Item(IDC_FILE_LIST), 0, LVIS_SELECTED, LVIS_SELECTED);
    conversionRunning = true;
    for (int id : {IDC_ADD_FILES, IDM_REMOVE_FILES, IDC_CONVERT, IDM_EXIT}) Command(id);
    boxes.Answer(MessageBoxAnswerer::Enter);
    SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(conversionRunning && fileCount == 1 && ends == 0);
    boxes.Answer(IDYES);
    SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(ends, 1);
    std::string refused = CaptionText(CaptionRefusedDuringRun), close = CaptionText(CaptionCloseDuringRun);
    EXPECT_EQ(boxes.texts(), (Texts{CaptionText(CaptionEmptyList), "Resize height and width cannot be zero.",
                                    "Rotate degree cannot be zero.", refused, refused, CaptionText(CaptionStopRun),
                                    close, close, close}));
}

// Options of one name, or a language without texts, must not make an entry
// stand for another format's option.
TEST_F(MainWindowTest, FormatsSetTheOptionsAndResizeUpAndAnEntryStandsForTheOptionAtItsPlace)
{
    settings.tifDefaultOption = 12;
    settings.resizeEnabled = true;
    languageCaptions[0][saveOptions[1].caption] = CaptionText(saveOptions[5].caption);
    Open();
    Choose(IDC_OPTION, CaptionText(saveOptions[5].caption));
    EXPECT_EQ(settings.saveOption, 5);
    ChooseFormat(FormatTif);
    EXPECT_EQ(Text(IDC_OPTION), CaptionText(saveOptions[12].caption));
    Choose(IDC_OPTION, CaptionText(saveOptions[13].caption));
    ChooseFormat(FormatTif);
    EXPECT_EQ(Text(IDC_OPTION), CaptionText(saveOptions[13].caption)) << "the format shown is not set up again";
    ChooseFormat(FormatPng);
    EXPECT_FALSE(Enabled(IDC_OPTION) || SendMessageA(Item(IDC_OPTION), CB_GETCOUNT, 0, 0) || settings.saveOption);
    ChooseFormat(FormatIco);
    EXPECT_FALSE(Enabled(IDC_RESIZE) || Enabled(IDC_WIDTH) || Enabled(IDC_HEIGHT) || Enabled(IDC_RESIZE_MODE));
    ChooseFormat(FormatJpg);
    EXPECT_TRUE(Enabled(IDC_RESIZE) && Enabled(IDC_WIDTH) && Enabled(IDC_RESIZE_MODE) && Enabled(IDC_OPTION));

    Command(IDM_NORSK); // no Norwegian texts loaded: English stands in
    EXPECT_EQ(Text(IDC_CONVERT), CaptionText(CaptionConvertButton));
    EXPECT_TRUE(MenuChecked(IDM_NORSK) && !MenuChecked(IDM_ENGLISH));
    ChooseFormat(FormatXpm);
    Choose(IDC_OPTION, CaptionText(saveOptions[29].caption));
    EXPECT_EQ(settings.saveOption, 29);
}
