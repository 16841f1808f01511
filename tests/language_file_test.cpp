#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "engine/conversion_settings.h"
#include "engine/formats.h"
#include "lang/caption_numbers.h"
#include "lang/captions.h"
#include "lang/language_file.h"
#include "platform/host_file.h"
#include "res/resource.h"
#include "tests/gtest.h"
#include "tests/test_support.h"
#include "ui/format_selectors.h"
#include "ui/main_window.h"

namespace {

// Keeps the process-wide caption table, settings and main window as they
// were before each test.
class CaptionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int language = 0; language < languageCount; ++language) {
            for (int k = 0; k < captionCount; ++k) savedCaptions[language][k] = languageCaptions[language][k];
        }
        savedSettings = settings;
        savedMainWindow = mainWindow;
        memcpy(savedOptionNames, saveOptionNames, sizeof saveOptionNames);
        savedAppliedFormat = appliedFormat;
        settings.language = 0;
        ClearSlot(0);
    }

    void TearDown() override
    {
        for (int language = 0; language < languageCount; ++language) {
            for (int k = 0; k < captionCount; ++k) languageCaptions[language][k] = savedCaptions[language][k];
        }
        settings = savedSettings;
        mainWindow = savedMainWindow;
        memcpy(saveOptionNames, savedOptionNames, sizeof saveOptionNames);
        appliedFormat = savedAppliedFormat;
    }

    static void ClearSlot(int slot, const std::string& text = std::string())
    {
        for (std::string& caption : languageCaptions[slot]) caption = text;
    }

    bool LoadText(const std::string& text)
    {
        WriteFileBytes(directory / "english.ini", text);
        return LoadLanguageFile(0, (directory / "english.ini").c_str());
    }

    TempDir directory;

private:
    std::string savedCaptions[languageCount][captionCount];
    ConversionSettings savedSettings;
    HWND savedMainWindow;
    char savedOptionNames[sizeof saveOptionNames / sizeof saveOptionNames[0]][sizeof saveOptionNames[0]];
    int savedAppliedFormat;
};

std::string Numbered(int k)
{
    return "caption " + std::to_string(k);
}

// Every section with its header and lines "caption k", in the given order.
std::string FileOfSections(const std::vector<int>& order)
{
    std::string text = "; a comment before the first header\n";
    for (int index : order) {
        const CaptionSection& section = captionSections[index];
        text += std::string(section.header) + "\n";
        for (int i = 0; i < section.lineCount; ++i) text += Numbered(section.firstCaption + i) + "\n";
        text += "\n";
    }
    return text;
}

const CaptionSection* SectionOfCaption(int k)
{
    for (int i = 0; i < captionSectionCount; ++i) {
        const CaptionSection& section = captionSections[i];
        if (k >= section.firstCaption && k < section.firstCaption + section.lineCount) return &section;
    }
    return NULL;
}

TEST_F(CaptionTest, SectionsInAnyOrderFillTheirOwnCaptions)
{
    std::vector<int> tableOrder, reversed;
    for (int i = 0; i < captionSectionCount; ++i) tableOrder.push_back(i);
    reversed.assign(tableOrder.rbegin(), tableOrder.rend());

    for (const std::vector<int>& order : {tableOrder, reversed}) {
        ClearSlot(0);
        ASSERT_TRUE(LoadText(FileOfSections(order)));
        for (int k = 0; k < captionCount; ++k) {
            bool filled = (k >= 0 && k <= 80) || (k >= 89 && k <= 121);
            EXPECT_EQ(filled ? Numbered(k) : "", languageCaptions[0][k]) << "caption " << k;
        }
    }
}

TEST_F(CaptionTest, LaterBlockOfARepeatedSectionWins)
{
    ASSERT_TRUE(LoadText("[BMP-OPTIONS]\nfirst\nsecond\n[BMP-OPTIONS]\nthird\nfourth\n"));
    EXPECT_EQ("third", languageCaptions[0][35]);
    EXPECT_EQ("fourth", languageCaptions[0][36]);
}

TEST_F(CaptionTest, BlockLinesAreTakenAsTheyStand)
{
    // A short block takes the next header as text; the lines after it are
    // outside any block. A blank before a bracket makes no header.
    ASSERT_TRUE(LoadText("[BMP-OPTIONS] with a remark\r\n"
                         "only one\r\n"
                         "[XPM-OPTIONS]\r\n"
                         "wu\r\n"
                         " [GUI]\n"
                         "ignored\n"
                         "[GUI]\n"
                         "\n"
                         "[JPEG-OPTIONS]\n"));
    EXPECT_EQ("only one", languageCaptions[0][35]);
    EXPECT_EQ("[XPM-OPTIONS]", languageCaptions[0][36]);
    EXPECT_EQ("", languageCaptions[0][55]);
    EXPECT_EQ("", languageCaptions[0][18]);
    EXPECT_EQ("[JPEG-OPTIONS]", languageCaptions[0][19]);
    EXPECT_EQ("", languageCaptions[0][27]);
}

TEST_F(CaptionTest, BlockCutShortByTheEndOfTheFileKeepsTheRest)
{
    ClearSlot(0, "before");
    ASSERT_TRUE(LoadText("[GUI]\nOutput:\nOptions:"));
    EXPECT_EQ("Output:", languageCaptions[0][18]);
    EXPECT_EQ("Options:", languageCaptions[0][19]);
    for (int k = 20; k <= 25; ++k) EXPECT_EQ("before", languageCaptions[0][k]) << k;
    EXPECT_EQ("before", languageCaptions[0][0]);
}

TEST_F(CaptionTest, LongLineFillsTwoCaptions)
{
    std::string longLine = std::string(199, 'a') + std::string(51, 'b');
    ASSERT_TRUE(LoadText("[GUI]\n" + longLine + "\nnext\n"));
    EXPECT_EQ(std::string(199, 'a'), languageCaptions[0][18]);
    EXPECT_EQ(std::string(51, 'b'), languageCaptions[0][19]);
    EXPECT_EQ("next", languageCaptions[0][20]);
}

TEST_F(CaptionTest, CaretPairsBreakLinesOnlyInMessages)
{
    ASSERT_TRUE(LoadText("[GUI]\nfirst^^second\n\n\n\n\n\n\n\n[MESSAGES]\nfirst^^second\nx^^^y\n"));
    EXPECT_EQ("first\r\nsecond", languageCaptions[0][89]);
    EXPECT_EQ("x\r\n^y", languageCaptions[0][90]);
    EXPECT_EQ("first^^second", languageCaptions[0][18]);
}

TEST_F(CaptionTest, EmptyFileSuppliesNothing)
{
    ClearSlot(0, "kept");
    EXPECT_TRUE(LoadText(""));
    EXPECT_EQ("kept", languageCaptions[0][0]);
}

TEST_F(CaptionTest, MissingFileIsReportedAndChangesNothing)
{
    ClearSlot(0, "kept");
    MessageBoxAnswerer answerer;
    EXPECT_FALSE(LoadLanguageFile(0, (directory / "missing.ini").c_str()));
    ASSERT_EQ(1u, answerer.count());
    EXPECT_EQ("Error opening config file.", answerer.texts()[0]);
    EXPECT_EQ("Bramblewick", answerer.titles()[0]);
    EXPECT_EQ("kept", languageCaptions[0][0]);
}

TEST_F(CaptionTest, LookupFallsBackSafely)
{
    languageCaptions[0][5] = "English text";
    settings.language = 7;
    EXPECT_STREQ("English text", Caption(5));
    settings.language = 1;
    EXPECT_STREQ("", Caption(5));
    EXPECT_STREQ("", Caption(-1));
    EXPECT_STREQ("", Caption(captionCount));
}

TEST_F(CaptionTest, ShippedEnglishFileHasEveryText)
{
    // Every line of every section present: a caption the file does not
    // reach keeps this mark.
    const std::string unread = "\x01unread";
    ClearSlot(0, unread);
    std::string path = FullWindowsPath(SOURCE_DIR "/lang/english.ini");
    ASSERT_TRUE(LoadLanguageFile(0, path.c_str()));

    for (int k = 0; k < captionCount; ++k) {
        const std::string& caption = languageCaptions[0][k];
        if (SectionOfCaption(k)) {
            EXPECT_NE(unread, caption) << "caption " << k;
            EXPECT_NE('[', caption.empty() ? ' ' : caption[0]) << "a header swallowed by a short block: " << k;
        } else {
            EXPECT_EQ(unread, caption) << "caption " << k;
        }
    }

    const CaptionNumber used[] = {
        CaptionConvertButton, CaptionAddFilesButton, CaptionRemoveFilesButton, CaptionFileMenu,
        CaptionConvertItem, CaptionAddFilesItem, CaptionRemoveFilesItem, CaptionExitItem, CaptionHelpMenu,
        CaptionContentsItem, CaptionMailItem, CaptionWebsiteItem, CaptionAboutItem, CaptionOutputGroup,
        CaptionOptionsGroup, CaptionFileListHeader, CaptionFormatSelectorTip, CaptionOptionSelectorTip,
        CaptionFileListTip, CaptionConvertTip, CaptionAddFilesTip, CaptionRemoveFilesTip, CaptionProgressTip,
        CaptionNoInputOnePath, CaptionNoInputMultiPath, CaptionListFileUnreadable, CaptionNoInput,
        CaptionCloseDuringRun, CaptionRefusedDuringRun, CaptionStopRun, CaptionShowLog, CaptionNoOutputFormat,
        CaptionNoSaveOption, CaptionConverting, CaptionSummaryConverted, CaptionSummaryFailed,
        CaptionLogConverted, CaptionLogFailed, CaptionAllConverted, CaptionSettingsUnwritable,
        CaptionAddFilesTitle, CaptionHelpDocument, CaptionSaveDefaultQuestion, CaptionSaveDefaultItem,
    };
    for (CaptionNumber k : used) EXPECT_NE("", languageCaptions[0][k]) << "caption " << k;

    // These follow a number directly.
    for (int k : {CaptionSummaryConverted, CaptionSummaryFailed, CaptionLogConverted, CaptionLogFailed}) {
        EXPECT_EQ(' ', languageCaptions[0][k][0]) << "caption " << k;
    }
    EXPECT_EQ("bramblewick.html", languageCaptions[0][CaptionHelpDocument]);

    std::set<std::string> names;
    for (int option = 1; option <= saveOptionCount; ++option) {
        const std::string& name = languageCaptions[0][saveOptions[option].caption];
        EXPECT_FALSE(name.empty()) << "option " << option;
        EXPECT_LE(name.size(), 51u) << "option " << option;
        names.insert(name);
    }
    EXPECT_EQ((size_t)saveOptionCount, names.size()) << "option names must differ";
}

TEST_F(CaptionTest, OptionNamesComeFromTheCaptionsWithoutAWindow)
{
    mainWindow = NULL;
    for (int k = 0; k < captionCount; ++k) languageCaptions[0][k] = Numbered(k);
    languageCaptions[0][35] = std::string(80, 'x');

    ApplyCaptions();
    EXPECT_EQ(std::string(51, 'x'), saveOptionNames[1]);
    EXPECT_EQ(Numbered(36), saveOptionNames[2]);
    EXPECT_EQ(Numbered(27), saveOptionNames[3]);
    EXPECT_EQ(Numbered(56), saveOptionNames[29]);
    for (int option = 2; option <= saveOptionCount; ++option) {
        EXPECT_EQ(Numbered(saveOptions[option].caption), saveOptionNames[option]) << "option " << option;
    }

    settings.language = 2;   // an empty slot
    ApplyCaptions();
    for (int option = 1; option <= saveOptionCount; ++option) EXPECT_STREQ("", saveOptionNames[option]);
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

std::string MenuText(HMENU menu, UINT entry, UINT byWhat)
{
    char text[200] = "";
    GetMenuStringA(menu, entry, text, sizeof text, byWhat);
    return text;
}

std::string ControlText(HWND window, int control)
{
    char text[200] = "";
    GetDlgItemTextA(window, control, text, sizeof text);
    return text;
}

std::string ListHeader(HWND list)
{
    char text[200] = "";
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT;
    column.pszText = text;
    column.cchTextMax = sizeof text;
    SendMessageA(list, LVM_GETCOLUMNA, 0, (LPARAM)&column);
    return text;
}

TEST_F(CaptionTest, CaptionsReachTheMainWindow)
{
    for (int k = 0; k < captionCount; ++k) languageCaptions[0][k] = Numbered(k);
    HWND window = CreateDialogParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDD_MAIN), NULL, PlainDialogProc, 0);
    ASSERT_TRUE(window != NULL);
    HWND list = GetDlgItem(window, IDC_FILE_LIST);
    LVCOLUMNA column = {};
    column.mask = LVCF_WIDTH;
    column.cx = 100;
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, (LPARAM)&column);
    mainWindow = window;
    HMENU menu = GetMenu(window);

    ApplyCaptions();
    EXPECT_EQ(Numbered(0), ControlText(window, IDC_CONVERT));
    EXPECT_EQ(Numbered(2), ControlText(window, IDC_REMOVE_FILES));
    EXPECT_EQ(Numbered(18), ControlText(window, IDC_OUTPUT_GROUP));
    EXPECT_EQ(Numbered(19), ControlText(window, IDC_OPTIONS_GROUP));
    EXPECT_EQ(Numbered(20), ListHeader(list));
    EXPECT_EQ(490, SendMessageA(list, LVM_GETCOLUMNWIDTH, 0, 0));
    EXPECT_EQ(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT, SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));

    EXPECT_EQ(Numbered(7), MenuText(menu, 0, MF_BYPOSITION));
    EXPECT_EQ(Numbered(12), MenuText(menu, 2, MF_BYPOSITION));
    EXPECT_EQ("Options", MenuText(menu, 1, MF_BYPOSITION));
    EXPECT_EQ(Numbered(8), MenuText(menu, IDM_CONVERT, MF_BYCOMMAND));
    EXPECT_EQ(Numbered(121), MenuText(menu, IDM_SAVE_DEFAULT, MF_BYCOMMAND));
    EXPECT_EQ(Numbered(17), MenuText(menu, IDM_ABOUT, MF_BYCOMMAND));
    EXPECT_EQ("&Preferences", MenuText(menu, IDM_PREFERENCES, MF_BYCOMMAND));
    // The retitled menus keep their items.
    EXPECT_EQ(IDM_CONVERT, (int)GetMenuItemID(GetSubMenu(menu, 0), 0));
    EXPECT_EQ(IDM_CONTENTS, (int)GetMenuItemID(GetSubMenu(menu, 2), 0));

    settings.language = 1;
    ApplyCaptions();
    EXPECT_EQ("", ControlText(window, IDC_CONVERT));
    EXPECT_EQ("", MenuText(menu, IDM_EXIT, MF_BYCOMMAND));
    EXPECT_EQ("", ListHeader(list));

    mainWindow = NULL;
    DestroyWindow(window);
}

TEST_F(CaptionTest, LanguageMenuMarksTheCurrentLanguage)
{
    HWND window = CreateWindowA("STATIC", "", WS_OVERLAPPED, 0, 0, 100, 100, NULL, NULL, GetModuleHandleA(NULL), NULL);
    ASSERT_TRUE(window != NULL);
    HMENU menu = LoadMenuA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDR_MAIN_MENU));
    ASSERT_TRUE(menu != NULL);
    SetMenu(window, menu);
    HMENU options = GetSubMenu(menu, 1);
    AppendMenuA(options, MF_STRING, IDM_ENGLISH, "e");
    AppendMenuA(options, MF_STRING, IDM_NORSK, "n");
    AppendMenuA(options, MF_STRING | MF_GRAYED, IDM_DEUTCH, "d");
    mainWindow = window;

    const int commands[languageCount] = {IDM_ENGLISH, IDM_NORSK, IDM_DEUTCH};
    for (int language = 0; language < languageCount; ++language) {
        settings.language = language;
        UpdateLanguageMenu();
        for (int entry = 0; entry < languageCount; ++entry) {
            UINT state = GetMenuState(menu, commands[entry], MF_BYCOMMAND);
            EXPECT_EQ(entry == language, (state & MF_CHECKED) != 0) << language << " " << entry;
            EXPECT_EQ(0u, state & (MF_GRAYED | MF_DISABLED));
        }
    }
    EXPECT_EQ("English", MenuText(menu, IDM_ENGLISH, MF_BYCOMMAND));
    EXPECT_EQ("Norsk", MenuText(menu, IDM_NORSK, MF_BYCOMMAND));
    EXPECT_EQ("Deutch", MenuText(menu, IDM_DEUTCH, MF_BYCOMMAND));

    settings.language = 5;   // no language: the marks stay
    UpdateLanguageMenu();
    EXPECT_TRUE(GetMenuState(menu, IDM_DEUTCH, MF_BYCOMMAND) & MF_CHECKED);

    mainWindow = NULL;
    DestroyWindow(window);
}

} // namespace
