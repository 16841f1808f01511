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

// A section's lines fill its own captions as they stand.
TEST_F(LanguageFileTest, BlockLinesAreTakenAsTheyStandAndAMissingTranslationIsQuiet)
{
    const std::string a199(199, 'a'), longLine = a199 + std::string(51, 'b');
    struct { std::string text; std::vector<std::pair<int, std::string>> captions; } cases[] = {
        // The later block of a repeated section wins; a remark may follow a header.
        {"[BMP-OPTIONS]\nfirst\nsecond\n[BMP-OPTIONS] ; a remark\nthird\nfourth\n", {{35, "third"}, {36, "fourth"}}},
        // A short block takes the next header as text; a blank before a bracket makes no header.
        {"[BMP-OPTIONS]\r\none\r\n[XPM-OPTIONS]\r\nwu\r\n [GUI]\nx\n", {{36, "[XPM-OPTIONS]"}, {55, ""}, {18, ""}}},
        // Longer lines come in pieces of 199 stored bytes, never cut inside a character.
        {"[GUI]\n" + longLine + "\nnext\n", {{18, a199}, {19, std::string(51, 'b')}, {20, "next"}}},
        {"[GUI]\n" + a199.substr(1) + "\u00e9\u00e9\nnext\n", {{18, a199.substr(1)}, {19, "\u00e9\u00e9"}, {20, "next"}}},
        // UTF-8, or Windows-1252 where a line is not UTF-8.
        {"[BMP-OPTIONS]\nR\u00e9gl\u00e9\nR\xe9gl\xe9\n[TIFF-OPTIONS]\nt\n",
         {{35, "R\u00e9gl\u00e9"}, {36, "R\u00e9gl\u00e9"}, {37, "t"}}},
        // "^^" breaks lines in messages only.
        {"[GUI]\na^^b\n\n\n\n\n\n\nlast\n[MESSAGES]\nc^^d\nx^^^y\n", {{18, "a^^b"}, {25, "last"}, {89, "c\r\nd"}, {90, "x\r\n^y"}}},
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
}

// Every line of a section is there in each shipped language, and translated: the same text as the
// English one only where the word is the same in all three (OK, Gamma) or
// names a file. A "^^" shows as a line break, in whichever section it stands.
TEST_F(LanguageFileTest, ShippedLanguageFilesHaveEveryTextTranslated)
{
    const std::set<int> sameInEveryLanguage = {4, 69, 72, CaptionHelpDocument, 119, CaptionPreferencesOk, CaptionLogOk};
    const char* const files[languageCount] = {"english.ini", "norsk.ini", "deutsch.ini"};
    for (int language = 0; language < languageCount; ++language) {
        std::string path;
        InputWindowsPath(SOURCE_DIR "/lang/" + std::string(files[language]), path);
        ASSERT_TRUE(LoadLanguageFile(language, path.c_str())) << path;
        const std::string* texts = languageCaptions[language];
        for (int s = 0; s < captionSectionCount; ++s) {
            for (int k = captionSections[s].firstCaption; k < captionSections[s].firstCaption + captionSections[s].lineCount; ++k) {
                EXPECT_TRUE(!texts[k].empty() && texts[k][0] != '[' && texts[k].find("^^") == std::string::npos)
                    << path << " " << k;
                EXPECT_TRUE(language == 0 || sameInEveryLanguage.count(k) || texts[k] != languageCaptions[0][k])
                    << path << " " << k << " is not translated";
            }
        }
    }
}
