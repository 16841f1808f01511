#include <windows.h>

#include "app/command_line.h"
#include "app/direct_mode.h"
#include "engine/conversion_settings.h"
#include "engine/convert_file.h"
#include "lang/caption_numbers.h"
#include "lang/language_file.h"
#include "platform/argument_text.h"
#include "platform/host_file.h"
#include "tests/gtest.h"
#include "tests/test_support.h"

namespace {

std::string Value(const std::string& text, const char* name, int index)
{
    std::string value;
    return SwitchValue(text, name, index, value) ? value : "<missing>";
}

} // namespace

TEST(SwitchValues, AreCutAtSingleBlanks)
{
    std::string text = "-output 1 -resize pixels 640 480 -rotate left";
    EXPECT_EQ(Value(text, "-output", 0), "1");
    EXPECT_EQ(Value(text, "-resize", 0), "pixels");
    EXPECT_EQ(Value(text, "-resize", 2), "480");
    EXPECT_EQ(Value(text, "-rotate", 0), "left");
    EXPECT_EQ(Value(text, "-rotate", 1), "<missing>");
    EXPECT_EQ(Value(text, "-options", 0), "<missing>");
    // Two blanks give an empty value; the next value follows the second blank.
    EXPECT_EQ(Value("-options  4", "-options", 0), "");
    EXPECT_EQ(Value("-options  4", "-options", 1), "4");
    // The character after the name is skipped whatever it is.
    EXPECT_EQ(Value("-output=7", "-output", 0), "7");
    // A switch ending the text has no value.
    EXPECT_EQ(Value("-output", "-output", 0), "<missing>");
    // A third value that is the next switch's name.
    EXPECT_EQ(LeadingInteger(Value("-resize pixels 640 -rotate left 90", "-resize", 2)), 0);
}

TEST(SwitchValues, FirstOccurrenceCountsEvenInsideAPath)
{
    std::string text = "-inputone \"C:\\a -output 9\\x.png\" -output 1";
    EXPECT_EQ(Value(text, "-output", 0), "9\\x.png\"");
}

TEST(SwitchValues, NumbersAreLeadingIntegers)
{
    EXPECT_EQ(LeadingInteger("42abc"), 42);
    EXPECT_EQ(LeadingInteger("  -1"), -1);
    EXPECT_EQ(LeadingInteger("word"), 0);
    EXPECT_EQ(LeadingInteger(""), 0);
}

TEST(QuotedPaths, NeedBothQuotes)
{
    std::string path;
    ASSERT_TRUE(QuotedPath("-output 1 -inputone \"C:\\Pics\\a b.png\" -x", "-inputone", path));
    EXPECT_EQ(path, "C:\\Pics\\a b.png");
    ASSERT_TRUE(QuotedPath("-inputmulti \"\"", "-inputmulti", path));
    EXPECT_EQ(path, "");
    EXPECT_FALSE(QuotedPath("-inputone C:\\a.png", "-inputone", path));
    EXPECT_FALSE(QuotedPath("-inputone \"C:\\a.png", "-inputone", path));
    EXPECT_FALSE(QuotedPath("-inputone", "-inputone", path));
    // The quote search starts after the character that follows the name.
    EXPECT_FALSE(QuotedPath("-inputone\"", "-inputone", path));
}

TEST(ArgumentText, IsRebuiltAsAWindowsShellPassesIt)
{
    const char* windowsForm[] = {"-output", "1", "-inputone", "\"C:\\Pictures\\a.png\""};
    EXPECT_EQ(ArgumentTextFromArguments(4, windowsForm), "-output 1 -inputone \"C:\\Pictures\\a.png\"");

    const char* strippedQuotes[] = {"-inputmulti", "C:\\My Lists\\l.txt", "-advanced"};
    EXPECT_EQ(ArgumentTextFromArguments(3, strippedQuotes), "-inputmulti \"C:\\My Lists\\l.txt\" -advanced");

    const char* blanks[] = {"-rotate", "a b"};
    EXPECT_EQ(ArgumentTextFromArguments(2, blanks), "-rotate \"a b\"");

    const char* unclosed[] = {"-inputone", "\"C:\\a.png"};
    EXPECT_EQ(ArgumentTextFromArguments(2, unclosed), "-inputone \"C:\\a.png");

    EXPECT_EQ(ArgumentTextFromArguments(0, nullptr), "");
}

TEST(ArgumentText, TakesUnixPathsInTheirFullWindowsForm)
{
    const char* absolute[] = {"-inputone", "/tmp/photos/a.png"};
    EXPECT_EQ(ArgumentTextFromArguments(2, absolute), "-inputone \"Z:\\tmp\\photos\\a.png\"");

    char directory[MAX_PATH];
    GetCurrentDirectoryA(sizeof directory, directory);
    std::string expected = std::string(directory);
    if (expected.back() != '\\') expected += '\\';
    const char* relative[] = {"-inputone", "photos/a.png"};
    EXPECT_EQ(ArgumentTextFromArguments(2, relative), "-inputone \"" + expected + "photos\\a.png\"");
    EXPECT_EQ(FullWindowsPath("C:\\x\\y.png"), "C:\\x\\y.png");
    EXPECT_EQ(FullWindowsPath("\\\\server\\share\\y.png"), "\\\\server\\share\\y.png");
}

// Direct mode's checks of the argument text, each answered by its message.
class DirectModeChecks : public testing::Test {
protected:
    void SetUp() override
    {
        saved = settings;
        settings = ConversionSettings();
        for (int k : {CaptionNoInputOnePath, CaptionNoInputMultiPath, CaptionListFileUnreadable, CaptionNoInput,
                      CaptionNoOutputFormat, CaptionNoSaveOption})
            languageCaptions[0][k] = "caption " + std::to_string(k);
    }
    void TearDown() override
    {
        settings = saved;
        failedCount = convertedCount = 0;
        conversionLog.clear();
        logWindowText.clear();
    }

    // The one message a run of direct mode shows.
    std::string MessageFor(const std::string& text)
    {
        MessageBoxAnswerer answers;
        RunDirectMode(text);
        std::vector<std::string> shown = answers.texts();
        return shown.size() == 1 ? shown[0] : "<" + std::to_string(shown.size()) + " messages>";
    }

    ConversionSettings saved;
};

TEST_F(DirectModeChecks, OutputAndOptions)
{
    EXPECT_EQ(MessageFor("-options 4 -inputone \"x\""), "caption 107");
    EXPECT_EQ(MessageFor("-output 0 -options 4"), "caption 107");
    EXPECT_EQ(MessageFor("-output jpg -options 4"), "caption 107");
    EXPECT_EQ(MessageFor("-output 1"), "caption 108");
    EXPECT_EQ(MessageFor("-output 1 -options  4"), "caption 108");
    EXPECT_EQ(MessageFor("-output 1 -options -1"), "caption 108");
    // Option 0 means "no option" and passes.
    EXPECT_EQ(MessageFor("-output 1 -options 0"), "caption 99");
    EXPECT_EQ(settings.outputFormat, 1);
    EXPECT_EQ(settings.saveOption, 0);
}

TEST_F(DirectModeChecks, ResizeAndRotate)
{
    EXPECT_EQ(MessageFor("-output 1 -options 4 -resize Pixels 640 480"), "caption 99");
    EXPECT_TRUE(settings.resizeEnabled);
    EXPECT_EQ(settings.resizeMode, Pixels);
    EXPECT_EQ(settings.resizeWidth, 640);
    EXPECT_EQ(settings.resizeHeight, 480);

    settings.resizeMode = 0;
    EXPECT_EQ(MessageFor("-output 1 -options 4 -resize inches 6 4"),
              "Please provide the resize type you want to use. (-resize percentage/pixels)");
    EXPECT_EQ(MessageFor("-output 1 -options 4 -resize pixels 640"),
              "Please provide the resize width and height you want to use. (-resize percentage/pixels # #)");
    EXPECT_EQ(MessageFor("-output 1 -options 4 -resize pixels 640 -rotate left 90"), "caption 99");
    EXPECT_EQ(settings.resizeHeight, 0);

    settings.rotateDirection = 0;
    EXPECT_EQ(MessageFor("-output 1 -options 4 -rotate up 90"),
              "Please provide the rotate type you want to use. (-rotate left/right)");
    EXPECT_EQ(MessageFor("-output 1 -options 4 -rotate left"),
              "Please provide the rotate degree you want to use. (-rotate left/right #)");
    EXPECT_EQ(MessageFor("-output 1 -options 4 -rotate RIGHT 45"), "caption 99");
    EXPECT_EQ(settings.rotateDirection, Right);
    EXPECT_EQ(settings.rotateDegrees, 45);
    EXPECT_FALSE(settings.resizeEnabled);
}

TEST_F(DirectModeChecks, Inputs)
{
    EXPECT_EQ(MessageFor("-output 1 -options 4 -inputone C:\\a.png"), "caption 96");
    EXPECT_EQ(MessageFor("-output 1 -options 4 -inputone \"C:\\a.png"), "caption 96");
    EXPECT_EQ(MessageFor("-output 1 -options 4 -inputmulti list.txt"), "caption 97");
    TempDir directory;
    EXPECT_EQ(MessageFor("-output 1 -options 4 -inputmulti \"" + (directory / "missing.txt") + "\""),
              "caption 98");
}
