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
    return k <= 80 || (k >= 89 && k <= 131);
}

// The menus and their captions: the menu bar's titles, then File (with the
// stop command that stands for Convert during a run), Options and Help.
const std::vector<std::vector<int>> menus = {{7, 122, 12}, {8, 9, 10, 11, 127}, {123, 121}, {13, 15, 16, 17}};

// The access key of a menu text, lower-cased; 0 for none.
char AccessKey(const std::string& text)
{
    size_t at = text.find('&');
    while (at != std::string::npos && text.compare(at, 2, "&&") == 0) at = text.find('&', at + 2);
    return at == std::string::npos || at + 1 >= text.size() ? 0 : (char)tolower((unsigned char)text[at + 1]);
}

// The "%1" to "%9" a text holds, in order.
std::string Placeholders(const std::string& text)
{
    std::string found;
    for (size_t at = text.find('%'); at != std::string::npos; at = text.find('%', at + 1))
        if (at + 1 < text.size() && isdigit((unsigned char)text[at + 1])) found += text.substr(at, 2);
    return found;
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

// Every caption the program uses lies in a section, and every line of one is
// there in each language, fit for where it is used as the English one is.
TEST_F(LanguageFileTest, ShippedLanguageFilesHaveEveryTextAndUniqueAccessKeysPerMenu)
{
    const char* const files[languageCount] = {"english.ini", "norsk.ini", "deutsch.ini"};
    for (int language = 0; language < languageCount; ++language) {
        std::string path;
        InputWindowsPath(SOURCE_DIR "/lang/" + std::string(files[language]), path);
        ASSERT_TRUE(LoadLanguageFile(language, path.c_str())) << path;
        const std::string* texts = languageCaptions[language];
        const std::string* english = languageCaptions[0];
        for (int k = 0; k < captionCount; ++k) {
            if (!InSection(k)) continue;
            EXPECT_TRUE(!texts[k].empty() && texts[k][0] != '[') << files[language] << " " << k;
            EXPECT_EQ(Placeholders(texts[k]), Placeholders(english[k])) << files[language] << " " << k;
        }
        for (int k = 111; k <= 114; ++k) EXPECT_EQ(texts[k][0], ' ') << files[language] << " follows a number: " << k;
        std::set<std::string> names;
        for (int option = 1; option <= saveOptionCount; ++option) {
            EXPECT_LE(texts[saveOptions[option].caption].size(), 51u) << files[language] << " " << option;
            names.insert(texts[saveOptions[option].caption]);
        }
        EXPECT_EQ(size_t(saveOptionCount), names.size()) << files[language] << ": option names must differ";
        for (const std::vector<int>& menu : menus) {
            std::set<char> keys;
            for (int k : menu) EXPECT_TRUE(AccessKey(texts[k]) && keys.insert(AccessKey(texts[k])).second)
                                   << files[language] << ": no access key, or one taken in its menu: " << texts[k];
        }
    }
}

// A caption a language leaves empty is the English one, caption by caption.
TEST_F(LanguageFileTest, CaptionsAndLanguageMarksReachTheMainWindow)
{
    languageCaptions[2][CaptionConvertButton] = "Konvertieren";
    languageCaptions[2][CaptionOptionsMenu] = "&Optionen";
    Open();
    HMENU menu = GetMenu(window);
    const int commands[languageCount] = {IDM_ENGLISH, IDM_NORSK, IDM_DEUTSCH};
    for (settings.language = languageCount - 1; settings.language >= 0; --settings.language) {
        ApplyCaptions();
        UpdateLanguageMenu();
        char options[100] = "";
        GetMenuStringA(menu, 1, options, sizeof options, MF_BYPOSITION);
        std::string expected = settings.language == 2 ? "Konvertieren &Optionen" : "caption 0 caption 122";
        EXPECT_EQ(Text(IDC_CONVERT) + " " + options, expected);
        EXPECT_EQ(Text(IDC_ADD_FILES), CaptionText(CaptionAddFilesButton));
        for (int entry = 0; entry < languageCount; ++entry)
            EXPECT_EQ(entry == settings.language, bool(GetMenuState(menu, commands[entry], MF_BYCOMMAND) & MF_CHECKED));
    }
    char german[20] = "";
    GetMenuStringA(menu, IDM_DEUTSCH, german, sizeof german, MF_BYCOMMAND);
    EXPECT_STREQ(german, "Deutsch");
    EXPECT_EQ(IDM_CONTENTS, (int)GetMenuItemID(GetSubMenu(menu, 2), 0)) << "a retitled menu keeps its items";
}
