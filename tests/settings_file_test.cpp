#include <string>

#include "app/settings_file.h"
#include "tests/main_window_fixture.h"

namespace {

const std::string savedFile =
    "1\r\n2\r\n4\r\n8\r\n9\r\n8\r\n12\r\n22\r\n29\r\n"
    "1\r\nZ:\\tmp\\conversions \u00e9\r\n1\r\n"
    "1\r\nPixels\r\n640\r\n480\r\n"
    "1\r\nLeft\r\n270\r\n"
    "2\r\n";

// The real main window supplies the resize and rotate lines.
class SettingsFileTest : public MainWindowTest {
protected:
    bool Load(const std::string& text)
    {
        WriteFileBytes(ConfigPath(), text);
        return LoadSettings(ConfigPath().c_str());
    }
    std::string Saved()
    {
        EXPECT_TRUE(SaveSettings(ConfigPath().c_str()));
        return ReadFileBytes(ConfigPath());
    }
};

} // namespace

TEST_F(SettingsFileTest, WritingBackWhatWasReadGivesTheSameBytes)
{
    std::string lineFeedsOnly = savedFile, older = savedFile;
    for (size_t at; (at = lineFeedsOnly.find('\r')) != std::string::npos;) lineFeedsOnly.erase(at, 1);
    older.replace(older.find("\u00e9"), 2, "\xe9"); // written in Windows-1252
    for (const std::string& text : {savedFile, lineFeedsOnly, older}) {
        ASSERT_TRUE(Load(text));
        Open();
        EXPECT_EQ(savedFile, Saved());
    }

    // A file of the first release lacks the last line: workers as before
    // (0 at start, one per processor).
    std::string firstRelease = savedFile.substr(0, savedFile.size() - 3);
    settings.workers = 0;
    ASSERT_TRUE(Load(firstRelease));
    EXPECT_EQ(firstRelease + "0\r\n", Saved());

    // An empty width is written as 1, an unused directory as "-".
    settings.useOutputDirectory = false;
    SetDlgItemTextA(window, IDC_WIDTH, "");
    std::string expected = firstRelease + "0\r\n";
    expected.replace(expected.find("1\r\nZ:\\tmp\\conversions \u00e9"), 24, "0\r\n-");
    EXPECT_EQ(expected.replace(expected.find("640"), 3, "1"), Saved());
}

// The directory line fills its 499-character field and shifts nothing after it;
// a file that cannot be opened changes nothing.
TEST_F(SettingsFileTest, LongDirectoryUnknownLanguageAndMissingFile)
{
    std::string text = "7" + savedFile.substr(1);
    ASSERT_TRUE(Load(text.replace(text.find("Z:"), 21, std::string(499, 'd'))));
    EXPECT_EQ(0, settings.language);
    EXPECT_EQ(std::string(499, 'd'), settings.outputDirectory);
    EXPECT_EQ(270, settings.rotateDegrees);

    MessageBoxAnswerer answerer;
    EXPECT_FALSE(LoadSettings((directory / "missing.dat").c_str()));
    EXPECT_EQ(Texts{"Error opening config file."}, answerer.texts());
    EXPECT_EQ(270, settings.rotateDegrees);
}
