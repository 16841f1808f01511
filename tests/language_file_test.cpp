#include <set>
#include <string>
#include <utility>
#include <vector>

#include "lang/captions.h"
#include "platform/host_file.h"
#include "tests/main_window_fixture.h"

namespace {

// The captions some section fills; no file reaches the others.
bool InSection(int k)
{
    return k <= 80 || (k >= 89 && k <= 121);
}

// The fixture fills English with CaptionText(k) and puts every caption back afterwards.
class LanguageFileTest : public MainWindowTest {
protected:
    bool Load(const std::string& text)
    {
        for (std::string& caption : languageCaptions[0]) caption.clear();
        WriteFileBytes(directory / "english.ini", text);
        return LoadLanguageFile(0, (directory / "english.ini").c_str());
    }
};

} // namespace

TEST_F(LanguageFileTest, SectionsInAnyOrderFillTheirOwnCaptions)
{
    std::string forward, backward;
    for (int i = 0; i < captionSectionCount; ++i) {
        std::string block = std::string(captionSections[i].header) + "\n";
        for (int line = 0; line < captionSections[i].lineCount; ++line)
            block += CaptionText(captionSections[i].firstCaption + line) + "\n";
        forward += block;
        backward = block + backward;
    }
    for (const std::string& text : {forward, backward}) {
        ASSERT_TRUE(Load("; a comment\n" + text));
        for (int k = 0; k < captionCount; ++k)
            EXPECT_EQ(InSection(k) ? CaptionText(k) : "", languageCaptions[0][k]) << k;
    }
}

TEST_F(LanguageFileTest, BlockLinesAreTakenAsTheyStand)
{
    const std::string a199(199, 'a'), longLine = a199 + std::string(51, 'b');
    struct { std::string text; std::vector<std::pair<int, std::string>> captions; } cases[] = {
        // The later block of a repeated section wins.
        {"[BMP-OPTIONS]\nfirst\nsecond\n[BMP-OPTIONS]\nthird\nfourth\n", {{35, "third"}, {36, "fourth"}}},
        // A short block takes the next header as text; a blank before a bracket makes no header.
        {"[BMP-OPTIONS]\r\none\r\n[XPM-OPTIONS]\r\nwu\r\n [GUI]\nx\n", {{36, "[XPM-OPTIONS]"}, {55, ""}, {18, ""}}},
        // Longer lines come in pieces of 199 characters.
        {"[GUI]\n" + longLine + "\nnext\n", {{18, a199}, {19, std::string(51, 'b')}, {20, "next"}}},
        // UTF-8, or Windows-1252 where a line is not UTF-8.
        {"[BMP-OPTIONS]\nR\u00e9gl\u00e9\nR\xe9gl\xe9\n", {{35, "R\u00e9gl\u00e9"}, {36, "R\u00e9gl\u00e9"}}},
        // "^^" breaks lines in messages only.
        {"[GUI]\na^^b\n\n\n\n\n\n\n\n[MESSAGES]\nc^^d\nx^^^y\n", {{18, "a^^b"}, {89, "c\r\nd"}, {90, "x\r\n^y"}}},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(Load(c.text));
        for (const auto& caption : c.captions) EXPECT_EQ(caption.second, languageCaptions[0][caption.first]) << c.text;
    }
}

TEST_F(LanguageFileTest, MissingFileIsReportedAndChangesNothing)
{
    MessageBoxAnswerer answerer;
    EXPECT_FALSE(LoadLanguageFile(0, (directory / "missing.ini").c_str()));
    EXPECT_EQ(Texts{"Error opening config file."}, answerer.texts());
    EXPECT_EQ(CaptionText(0), languageCaptions[0][0]);
}

// Every caption the program uses lies in a section, and every line of one is there.
TEST_F(LanguageFileTest, ShippedEnglishFileHasEveryText)
{
    std::string shipped;
    InputWindowsPath(SOURCE_DIR "/lang/english.ini", shipped);
    ASSERT_TRUE(LoadLanguageFile(0, shipped.c_str()));
    for (int k = 0; k < captionCount; ++k)
        EXPECT_TRUE(!InSection(k) || (!languageCaptions[0][k].empty() && languageCaptions[0][k][0] != '[')) << k;
    std::set<std::string> names;
    for (int option = 1; option <= saveOptionCount; ++option) {
        EXPECT_LE(languageCaptions[0][saveOptions[option].caption].size(), 51u) << option;
        names.insert(languageCaptions[0][saveOptions[option].caption]);
    }
    EXPECT_EQ(size_t(saveOptionCount), names.size()) << "option names must differ";
}

TEST_F(LanguageFileTest, CaptionsAndLanguageMarksReachTheMainWindow)
{
    Open();
    HMENU menu = GetMenu(window);
    const int commands[languageCount] = {IDM_ENGLISH, IDM_NORSK, IDM_DEUTCH};
    for (settings.language = languageCount - 1; settings.language >= 0; --settings.language) {
        ApplyCaptions();
        UpdateLanguageMenu();
        EXPECT_EQ(settings.language ? "" : CaptionText(0), Text(IDC_CONVERT));
        for (int entry = 0; entry < languageCount; ++entry)
            EXPECT_EQ(entry == settings.language, bool(GetMenuState(menu, commands[entry], MF_BYCOMMAND) & MF_CHECKED));
    }
    EXPECT_EQ(IDM_CONTENTS, (int)GetMenuItemID(GetSubMenu(menu, 2), 0)) << "a retitled menu keeps its items";
}
