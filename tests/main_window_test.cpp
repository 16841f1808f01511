// The main window from its real template: layout, captions, commands and
// selectors; and the log window.
#include "tests/main_window_fixture.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <map>

#include "platform/host_file.h"
#include "ui/file_list.h"
#include "ui/log_window.h"
#include "ui/main_window_captions.h"

namespace {

// Left, top, width and height, in the client area of the parent if any.
std::vector<int> Place(HWND window)
{
    RECT place;
    GetWindowRect(window, &place);
    MapWindowPoints(NULL, GetParent(window), (POINT*)&place, 2);
    return {place.left, place.top, place.right - place.left, place.bottom - place.top};
}

// The text of a menu entry, with "*" when it is checked.
std::string MenuText(HMENU menu, int position)
{
    char text[200] = "";
    GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
    return text + std::string(GetMenuState(menu, position, MF_BYPOSITION) & MF_CHECKED ? "*" : "");
}

// The tips of a window by control: their texts, and how long each shows.
struct ShownTip { std::string text; LRESULT showTime; };
std::map<int, ShownTip> Tips(HWND owner)
{
    std::map<int, ShownTip> tips;
    for (HWND tip = NULL; (tip = FindWindowExA(NULL, tip, TOOLTIPS_CLASSA, NULL));) {
        char text[1000] = "";
        TTTOOLINFOA tool = {TTTOOLINFOA_V1_SIZE};
        tool.lpszText = text;
        if (GetWindow(tip, GW_OWNER) != owner || !SendMessageA(tip, TTM_ENUMTOOLSA, 0, (LPARAM)&tool)) continue;
        int id = GetDlgCtrlID(tool.uFlags & TTF_IDISHWND ? (HWND)tool.uId : tool.hwnd);
        tips[id] = {text, SendMessageA(tip, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0)};
    }
    return tips;
}

// The entries of a drop-down list, in order.
Texts Entries(HWND selector)
{
    Texts entries(SendMessageA(selector, CB_GETCOUNT, 0, 0));
    for (size_t i = 0; i < entries.size(); ++i) {
        char text[200] = "";
        SendMessageA(selector, CB_GETLBTEXT, i, (LPARAM)text);
        entries[i] = text;
    }
    return entries;
}

} // namespace

using LogWindowTest = MainWindowTest;

// Help > Contents hands the guide beside the program to the desktop's opener,
// here a stand-in on PATH that writes down what it was given; without an
// opener the user is told.
TEST_F(MainWindowTest, ContentsOpensTheGuideWithTheDesktopsOpener)
{
    TempDir stub;
    std::string stubHost = HostPath(stub.path().c_str()), opened = stub / "xdg-open.opened";
    WriteFileBytes(stub / "xdg-open", "#!/bin/sh\nprintf %s \"$1\" > \"$0.part\" && mv \"$0.part\" \"$0.opened\"\n");
    chmod((stubHost + "/xdg-open").c_str(), 0755);
    std::string path = getenv("PATH");
    setenv("PATH", (stubHost + ":" + path).c_str(), 1);
    Open();
    Command(IDM_CONTENTS);
    for (int wait = 0; wait < 600 && !FileExists(opened); ++wait) Sleep(50);
    EXPECT_EQ(ReadFileBytes(opened), HostPath((directory / CaptionText(CaptionHelpDocument)).c_str()));

    // A shell that finds no opener.
    languageCaptions[0][CaptionGuideNotOpened] = "Not opened: %1";
    unlink((stubHost + "/xdg-open").c_str());
    symlink("/bin/sh", (stubHost + "/sh").c_str());
    setenv("PATH", stubHost.c_str(), 1);
    Command(IDM_CONTENTS);
    setenv("PATH", path.c_str(), 1);
    EXPECT_EQ(boxes.Take(), Texts{"Not opened: " + HostPath(directory.path().c_str()) + "/" + CaptionText(CaptionHelpDocument)});
}

TEST_F(MainWindowTest, OpensFromTheSettingsWithItsTipsAndLaysItsControlsOutDownTo545By350)
{
    settings = {0, 0, 0, 1, 5, 8, 8, 8, 10, 18, 28, false, "", false, true, 0, "Pixels", 640, 480, false, 0, "Right", 270};
    Open();
    EXPECT_EQ(Text(IDC_FORMAT) + " | " + Text(IDC_OPTION), std::string(knownFormats[0].name) + " | " + CaptionText(29));
    EXPECT_EQ((std::vector<int>{settings.saveOption, settings.resizeMode, settings.rotateDirection}),
              (std::vector<int>{5, Pixels, Right}));
    HWND list = Item(IDC_FILE_LIST);
    EXPECT_EQ(ListView_GetColumnWidth(list, 0), 490);
    EXPECT_EQ(ListView_GetExtendedListViewStyle(list), (DWORD)(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT));
    std::vector<int> screen = Place(GetDesktopWindow()), bounds = Place(window);
    EXPECT_EQ((std::vector<int>{bounds[0], bounds[1]}),
              (std::vector<int>{(screen[2] - bounds[2]) / 2, (screen[3] - bounds[3]) / 2}));
    for (const auto& tip : Tips(window)) EXPECT_EQ(tip.second.showTime, 25000) << "the tip of control " << tip.first;

    SetWindowPos(window, NULL, 0, 0, 800, 600, SWP_NOMOVE | SWP_NOZORDER);
    std::vector<std::vector<int>> places;
    for (int id : {IDC_FILE_LIST, IDC_CONVERT, IDC_ADD_FILES, IDC_REMOVE_FILES, IDC_PROGRESS}) places.push_back(Place(Item(id)));
    EXPECT_EQ(places, (std::vector<std::vector<int>>{
        {10, 120, 770, 375}, {10, 508, 150, 27}, {170, 508, 150, 27}, {330, 508, 150, 27}, {490, 508, 290, 27}}));
    SetWindowPos(window, NULL, 0, 0, 300, 100, SWP_NOMOVE | SWP_NOZORDER); // held at 545 by 350
    EXPECT_EQ(Place(Item(IDC_PROGRESS)), (std::vector<int>{337, 258, 188, 27}));
    // What a window manager and the keyboard's sizing are told.
    MINMAXINFO limits = {};
    SendMessageA(window, WM_GETMINMAXINFO, 0, (LPARAM)&limits);
    EXPECT_EQ((std::vector<int>{limits.ptMinTrackSize.x, limits.ptMinTrackSize.y}), (std::vector<int>{545, 350}));
}

// German has only a few texts: English stands in for the rest. Tips,
// selector entries and the format names follow the switch; the chosen
// entries and the list's one column stay as they were.
TEST_F(MainWindowTest, ControlsMenusAndTheListHeaderShowTheirCaptionsInTheChosenLanguage)
{
    languageCaptions[2][0] = "Konvertieren";
    languageCaptions[2][CaptionResizeTip] = "Größe ändern";
    languageCaptions[2][CaptionPixels] = "Pixel";
    languageCaptions[2][CaptionFormatNames + FormatPng] = "PNG - Portables Netzwerkbild";
    Open();
    SetWindowPos(window, NULL, 0, 0, 800, 600, SWP_NOMOVE | SWP_NOZORDER);
    Choose(IDC_RESIZE_MODE, CaptionText(CaptionPixels));
    ChooseFormat(FormatPng);
    for (int language : {IDM_DEUTSCH, IDM_ENGLISH}) {
        Command(language);
        bool german = language == IDM_DEUTSCH;
        std::map<int, ShownTip> tips = Tips(window);
        EXPECT_EQ(Texts({tips[IDC_RESIZE].text, tips[IDC_WIDTH].text, Text(IDC_RESIZE_MODE), Text(IDC_FORMAT)}),
                  german ? Texts({"Größe ändern", CaptionText(CaptionWidthTip), "Pixel", "PNG - Portables Netzwerkbild"})
                         : Texts({CaptionText(CaptionResizeTip), CaptionText(CaptionWidthTip), CaptionText(CaptionPixels),
                                  knownFormats[FormatPng - 1].name}));
        EXPECT_EQ((std::vector<int>{settings.outputFormat, ResizeModeOfText(SelectedEntryName(IDC_RESIZE_MODE).c_str()),
                                    Header_GetItemCount(ListView_GetHeader(Item(IDC_FILE_LIST))),
                                    ListView_GetColumnWidth(Item(IDC_FILE_LIST), 0)}),
                  (std::vector<int>{FormatPng, Pixels, 1, 740}));
        std::string shown;
        for (int id : {IDC_CONVERT, IDC_ADD_FILES, IDC_REMOVE_FILES, IDC_OUTPUT_GROUP, IDC_OPTIONS_GROUP, IDC_RESIZE_GROUP,
                       IDC_ROTATE_GROUP, IDC_RESIZE, IDC_ROTATE})
            shown += Text(id) + ", ";
        HMENU menu = GetMenu(window);
        for (int title = 0; title < GetMenuItemCount(menu); ++title) {
            shown += (title ? "; " : "") + MenuText(menu, title) + ":";
            HMENU items = GetSubMenu(menu, title);
            for (int item = 0; item < GetMenuItemCount(items); ++item)
                if (GetMenuItemID(items, item)) shown += " " + MenuText(items, item);
        }
        EXPECT_EQ(shown, std::string(german ? "Konvertieren" : "caption 0") +
                             ", caption 1, caption 2, caption 18, caption 19, caption 21, caption 22, caption 124, "
                             "caption 125, caption 7: caption 8 caption 9 caption 10 caption 11; caption 122: caption 123 "
                             "caption 121 English" + (german ? "" : "*") + " Norsk Deutsch" + (german ? "*" : "") +
                             "; caption 12: caption 13 caption 15 caption 16 caption 17");
        EXPECT_EQ(SavedLines().at(0), german ? "2" : "0") << "the language is kept for the next start";
    }
}

TEST_F(MainWindowTest, ConvertChecksItsFieldsAndARunGuardsTheCommandsThatWouldDisturbIt)
{
    boxes.Fallback(IDNO);
    Open();
    Command(IDC_CONVERT); // an empty list
    AddFilesToList("C:\\missing.png");
    SetSwitch(IDC_RESIZE, true);
    EXPECT_TRUE(Enabled(IDC_WIDTH) && Enabled(IDC_HEIGHT) && Enabled(IDC_RESIZE_MODE) && !Enabled(IDC_DEGREES));
    SetDlgItemTextA(window, IDC_HEIGHT, "5"); // and a width of 0
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
    Command(IDM_ABOUT); // also during a run
    boxes.Answer(IDYES);
    SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(ends, 1);
    std::string refused = CaptionText(CaptionRefusedDuringRun), close = CaptionText(CaptionCloseDuringRun);
    EXPECT_EQ(boxes.texts(), (Texts{CaptionText(CaptionEmptyList), CaptionText(CaptionZeroSize),
                                    CaptionText(CaptionZeroAngle), refused, refused, CaptionText(CaptionStopRun),
                                    close, close, CaptionText(CaptionAboutText), close}));
}

// Each format lists its options and shows the one it remembers, here its
// last. Save as Default Option asks first; on Yes the chosen option becomes
// the remembered one of the format shown, and the file holds it.
TEST_F(MainWindowTest, EachFormatListsItsOptionsAndSavesItsOwnDefault)
{
    for (const KnownFormat& f : knownFormats)
        if (f.remembered) settings.*f.remembered = f.LastOption();
    settings.resizeEnabled = true;
    boxes.Fallback(IDYES);
    Open();
    for (int number = 1; number <= 12; ++number) {
        const KnownFormat& f = knownFormats[number - 1];
        SCOPED_TRACE(f.name);
        Choose(IDC_FORMAT, f.name);
        Texts options;
        for (int k : f.captions) options.push_back(CaptionText(k));
        EXPECT_EQ(Entries(Item(IDC_OPTION)), options);
        EXPECT_EQ((std::vector<int>{settings.outputFormat, settings.saveOption, Enabled(IDC_OPTION), Enabled(IDC_RESIZE),
                                    Enabled(IDC_WIDTH), (int)SendMessageA(Item(IDC_OPTION), CB_GETCURSEL, 0, 0)}),
                  (std::vector<int>{number, f.LastOption(), !options.empty(), number != 11, number != 11,
                                    (int)options.size() - 1}));
        // Each entry in turn (the last one after another), and the first again.
        for (size_t n = 0; n < options.size() + !options.empty(); ++n) {
            Choose(IDC_OPTION, options[n % options.size()]);
            EXPECT_EQ(settings.saveOption, f.firstOption + int(n % options.size()));
        }
        Choose(IDC_FORMAT, f.name); // already shown: nothing is set up again
        EXPECT_EQ(settings.saveOption, f.firstOption);
        Command(IDM_SAVE_DEFAULT);
    }
    Texts lines = SavedLines();
    lines.resize(9);
    EXPECT_EQ(Texts(lines.begin() + 1, lines.end()), (Texts{"1", "3", "8", "8", "8", "10", "18", "28"}));
    EXPECT_EQ(boxes.texts(), Texts(12, CaptionText(CaptionSaveDefaultQuestion)));

    SetSwitch(IDC_RESIZE, false);
    Choose(IDC_FORMAT, knownFormats[0].name);
    EXPECT_FALSE(Enabled(IDC_WIDTH) || Enabled(IDC_HEIGHT) || Enabled(IDC_RESIZE_MODE));
}

// Escape arrives as command 2.
TEST_F(LogWindowTest, ClosesByEscapeAsByOk)
{
    Open(IDD_LOG, LogWindowProc);
    Command(IDCANCEL);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(boxes.texts(), Texts{"[" + CaptionText(CaptionLogTitle) + "] "});
}
