// The language file read into the caption table, and the shipped files complete.
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "lang/caption_numbers.h"
#include "lang/language_file.h"
#include "platform/host_file.h"
#include "tests/test_support.h"

namespace {

// The sections of a language file: header, number of lines, first caption.
const struct {
    const char* header;
    int lines, first;
} sections[] = {
    {"[BUTTONS]", 7, 0}, {"[FILE-MENU]", 5, 7}, {"[HELP-MENU]", 6, 12}, {"[GUI]", 8, 18},
    {"[JPEG-OPTIONS]", 6, 26}, {"[PNM-OPTIONS]", 3, 32}, {"[BMP-OPTIONS]", 2, 35}, {"[TIFF-OPTIONS]", 8, 37},
    {"[WBMP-OPTIONS]", 10, 45}, {"[XPM-OPTIONS]", 2, 55}, {"[BASIC-PROCESSING]", 9, 57}, {"[COLOR-PROCESSING]", 7, 66},
    {"[RESIZE-PROCESSING]", 8, 73}, {"[MESSAGES]", 33, 89}, {"[WINDOW]", 10, 122}, {"[PHOTOS]", 3, 300},
    {"[REPORTS]", 5, 260},
};

// The captions some section fills; no file reaches the others.
bool InSection(int k)
{
    for (const auto& section : sections)
        if (k >= section.first && k < section.first + section.lines) return true;
    return false;
}

// The menus and their captions: the menu bar's titles, then File (with the
// stop command that stands for Convert during a run), Options and Help.
const std::vector<std::vector<int>> menus = {{7, 122, 12}, {8, 9, 10, 11, 109}, {123, 121}, {13, 15, 16, 17}};

// The access key of a menu text, lower-cased; 0 for none.
char AccessKey(const std::string& text)
{
    size_t at = text.find('&');
    while (at != std::string::npos && text.compare(at, 2, "&&") == 0) at = text.find('&', at + 2);
    return at == std::string::npos || at + 1 >= text.size() ? 0 : (char)tolower((unsigned char)text[at + 1]);
}

std::string Repeated(const std::string& text, int count)
{
    std::string result;
    while (count-- > 0) result += text;
    return result;
}

// The "%1" to "%9" a text holds, in order.
std::string Placeholders(const std::string& text)
{
    std::string found;
    for (size_t at = text.find('%'); at != std::string::npos; at = text.find('%', at + 1))
        if (at + 1 < text.size() && isdigit((unsigned char)text[at + 1])) found += text.substr(at, 2);
    return found;
}

class LanguageFileTest : public ProcessStateTest {
protected:
    bool Load(const std::string& text)
    {
        for (std::string& caption : languageCaptions[0]) caption.clear();
        WriteFileBytes(directory / "english.ini", text);
        return LoadLanguageFile(0, (directory / "english.ini").c_str());
    }
};

} // namespace

// A header is known by its start: a remark may follow it on its line.
TEST_F(LanguageFileTest, SectionsInAnyOrderFillTheirOwnCaptions)
{
    std::string forward, backward;
    for (const auto& section : sections) {
        std::string block = std::string(section.header) + (section.first % 2 ? " ; a remark\n" : "\n");
        for (int line = 0; line < section.lines; ++line) block += CaptionText(section.first + line) + "\n";
        forward += block;
        backward = block + backward;
    }
    for (const std::string& text : {forward, backward}) {
        ASSERT_TRUE(Load("; a comment\n" + text));
        for (int k = 0; k < captionCount; ++k)
            EXPECT_EQ(InSection(k) ? CaptionText(k) : "", languageCaptions[0][k]) << k;
    }
}

TEST_F(LanguageFileTest, BlockLinesAreTakenAsTheyStandAndAMissingFileChangesNothing)
{
    const std::string a199(199, 'a'), longLine = a199 + std::string(51, 'b');
    struct { std::string text; std::vector<std::pair<int, std::string>> captions; } cases[] = {
        // The later block of a repeated section wins.
        {"[BMP-OPTIONS]\nfirst\nsecond\n[BMP-OPTIONS]\nthird\nfourth\n", {{35, "third"}, {36, "fourth"}}},
        // A short block takes the next header as text; a blank before a bracket makes no header.
        {"[BMP-OPTIONS]\r\none\r\n[XPM-OPTIONS]\r\nwu\r\n [GUI]\nx\n", {{36, "[XPM-OPTIONS]"}, {55, ""}, {18, ""}}},
        // Longer lines come in pieces of 199 stored bytes, cut before decoding and never inside a character.
        {"[GUI]\n" + longLine + "\nnext\n", {{18, a199}, {19, std::string(51, 'b')}, {20, "next"}}},
        {"[GUI]\n" + std::string(187, '\xe9') + "\nnext\n", {{18, Repeated("\u00e9", 187)}, {19, "next"}}},
        {"[GUI]\n" + std::string(200, '\xe9') + "\nnext\n", {{18, Repeated("\u00e9", 199)}, {19, "\u00e9"}, {20, "next"}}},
        {"[GUI]\n" + a199.substr(1) + "\u00e9\u00e9\nnext\n", {{18, a199.substr(1)}, {19, "\u00e9\u00e9"}, {20, "next"}}},
        // UTF-8, or Windows-1252 where a line is not UTF-8.
        {"[BMP-OPTIONS]\nR\u00e9gl\u00e9\nR\xe9gl\xe9\n", {{35, "R\u00e9gl\u00e9"}, {36, "R\u00e9gl\u00e9"}}},
        // "^^" breaks lines in messages only.
        {"[GUI]\na^^b\n\n\n\n\n\n\n\n[MESSAGES]\nc^^d\nx^^^y\n", {{18, "a^^b"}, {89, "c\r\nd"}, {90, "x\r\n^y"}}},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(Load(c.text));
        for (const auto& caption : c.captions) EXPECT_EQ(caption.second, languageCaptions[0][caption.first]) << c.text;
    }
    languageCaptions[0][90] = "%2 of %1: %3%";
    EXPECT_EQ(CaptionWith(90, {"a", "b"}), "b of a: %");

    EXPECT_FALSE(LoadLanguageFile(1, (directory / "missing.ini").c_str()));
    EXPECT_EQ(boxes.Take(), Texts{}) << "a missing translation is not reported";
    EXPECT_FALSE(LoadLanguageFile(0, (directory / "missing.ini").c_str()));
    EXPECT_EQ(boxes.Take(), Texts{"Error opening config file."});
    EXPECT_EQ("a^^b", languageCaptions[0][18]);
}

// Every caption the program uses lies in a section, and every line of one is
// there in each language, fit for where it is used as the English one is,
// and translated: the same text as the English one only where the word is
// the same in all three (OK, Gamma) or names a file.
TEST_F(LanguageFileTest, ShippedLanguageFilesHaveEveryTextTranslatedAndUniqueAccessKeysPerMenu)
{
    const std::set<int> sameInEveryLanguage = {4, 69, 72, CaptionHelpDocument, 119, CaptionPreferencesOk, CaptionLogOk};
    const char* const files[languageCount] = {"english.ini", "norsk.ini", "deutsch.ini"};
    for (int language = 0; language < languageCount; ++language) {
        std::string path, name = files[language];
        InputWindowsPath(SOURCE_DIR "/lang/" + name, path);
        ASSERT_TRUE(LoadLanguageFile(language, path.c_str())) << path;
        const std::string* texts = languageCaptions[language];
        for (int s = 0; s < captionSectionCount; ++s) {
            for (int k = captionSections[s].firstCaption; k < captionSections[s].firstCaption + captionSections[s].lineCount; ++k) {
                // A line break written as ^^ shows as one, in whichever section it stands.
                EXPECT_TRUE(!texts[k].empty() && texts[k][0] != '[' && texts[k].find("^^") == std::string::npos)
                    << name << " " << k;
                EXPECT_EQ(Placeholders(texts[k]), Placeholders(languageCaptions[0][k])) << name << " " << k;
                if (language > 0 && !sameInEveryLanguage.count(k)) {
                    EXPECT_NE(texts[k], languageCaptions[0][k]) << name << " " << k << " is not translated";
                }
            }
        }
        for (int k = 111; k <= 114; ++k) EXPECT_EQ(texts[k][0], ' ') << name << " follows a number: " << k;
        std::set<std::string> names;
        for (int k = 27; k <= 56; ++k) {
            if (k == 32) continue;
            EXPECT_LE(texts[k].size(), 51u) << name << " option name " << k;
            names.insert(texts[k]);
        }
        EXPECT_EQ(29u, names.size()) << name << ": option names must differ";
        for (const std::vector<int>& menu : menus) {
            std::set<char> keys;
            for (int k : menu) EXPECT_TRUE(AccessKey(texts[k]) && keys.insert(AccessKey(texts[k])).second)
                                   << name << ": no access key, or one taken in its menu: " << texts[k];
        }
    }
}
