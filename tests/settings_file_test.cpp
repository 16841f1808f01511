// config.dat read line by line into its fields and written back.
#include <climits>
#include <string>

#include "app/settings_file.h"
#include "tests/main_window_fixture.h"

namespace {

// The fields of the settings in the order of the file's lines.
Texts Fields()
{
    const ConversionSettings& s = settings;
    auto n = [](int value) { return std::to_string(value); };
    return {n(s.language), n(s.bmpDefaultOption), n(s.jpgDefaultOption), n(s.pbmDefaultOption), n(s.pgmDefaultOption),
            n(s.ppmDefaultOption), n(s.tifDefaultOption), n(s.wbmpDefaultOption), n(s.xpmDefaultOption),
            n(s.useOutputDirectory), s.outputDirectory, n(s.deleteOriginal), n(s.resizeEnabled), s.resizeModeText,
            n(s.resizeWidth), n(s.resizeHeight), n(s.rotateEnabled), s.rotateDirectionText, n(s.rotateDegrees),
            n(s.workers), n(s.turnUpright)};
}

std::string Joined(const Texts& lines, const char* end = "\r\n")
{
    std::string text;
    for (const std::string& line : lines) text += line + end;
    return text;
}

// The real main window supplies the resize and rotate lines.
class SettingsFileTest : public MainWindowTest {
protected:
    bool Load(const std::string& text)
    {
        WriteFileBytes(settingsFile, text);
        return LoadSettings(settingsFile.c_str());
    }
};

} // namespace

// A different value on every line (but the switches), each read into its own
// field; a switch is on for any number but 0.
TEST_F(SettingsFileTest, EachLineIsReadIntoItsFieldAndWrittenBackFromIt)
{
    const Texts fields = {"2", "1", "6", "9", "8", "4", "13", "24", "29", "1", "Z:\\tmp\\conversions \u00e9", "0",
                          "1", "Pixels", "640", "480", "1", "Right", "270", "2", "0"};
    Texts odd = fields;
    odd[12] = "7";
    ASSERT_TRUE(Load(Joined(odd)));
    EXPECT_EQ(Fields(), fields);
    Open();

    // Line ends of either kind (the last line may have none), and texts of
    // older files in Windows-1252.
    Texts older = fields;
    older[10] = "Z:\\tmp\\conversions \xe9";
    std::string lineFeeds = Joined(fields, "\n");
    for (const std::string& text : {lineFeeds.substr(0, lineFeeds.size() - 1), Joined(older)}) {
        settings = ConversionSettings{};
        ASSERT_TRUE(Load(text));
        EXPECT_EQ(Fields(), fields);
    }

    // A file of the first release lacks the last two lines: workers as they
    // were, photos turned upright.
    ASSERT_TRUE(Load(Joined(Texts(fields.begin(), fields.end() - 2))));
    Texts firstRelease = fields;
    firstRelease.back() = "1";
    EXPECT_EQ(Fields(), firstRelease);
    settings.turnUpright = false;

    // The resize and rotate lines come from the window; a size of 0 is saved
    // as 1. An unused directory is saved as "-".
    settings.useOutputDirectory = false;
    SetDlgItemTextA(window, IDC_WIDTH, "");
    SetDlgItemTextA(window, IDC_HEIGHT, "7");
    SetDlgItemTextA(window, IDC_DEGREES, "45");
    SendDlgItemMessageA(window, IDC_RESIZE_MODE, CB_SETCURSEL, 0, 0);
    SendDlgItemMessageA(window, IDC_DIRECTION, CB_SETCURSEL, 0, 0);
    ASSERT_TRUE(SaveSettings(settingsFile.c_str()));
    Texts changed = fields;
    changed[9] = "0", changed[10] = "-", changed[13] = "Percentage", changed[14] = "1", changed[15] = "7";
    changed[17] = "Left", changed[18] = "45";
    EXPECT_EQ(SavedLines(), changed);
}

// The directory line fills its 499-character field and shifts nothing after
// it; an unknown language is English; a number below 0 or beyond an int is
// taken as the nearest one there is; a file that cannot be opened or written
// is reported.
TEST_F(SettingsFileTest, LongDirectoryUnknownLanguageOutOfRangeNumbersAndUnusableFiles)
{
    Texts fields(20, "1");
    fields[0] = "3";
    fields[10] = std::string(600, 'd');
    fields[15] = "99999999999";
    fields[19] = "-3";
    ASSERT_TRUE(Load(Joined(fields)));
    EXPECT_EQ(settings.language, 0);
    EXPECT_EQ((std::vector<int>{settings.resizeHeight, settings.workers}), (std::vector<int>{INT_MAX, 0}));
    EXPECT_EQ(settings.outputDirectory, std::string(499, 'd'));

    EXPECT_FALSE(LoadSettings((directory / "missing.dat").c_str()));
    EXPECT_FALSE(SaveSettings((directory / "missing\\config.dat").c_str()));
    EXPECT_EQ(boxes.texts(), (Texts{"Error opening config file.", CaptionText(CaptionSettingsUnwritable)}));
}
