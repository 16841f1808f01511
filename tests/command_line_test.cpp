#include <windows.h>

#include "app/command_line.h"
#include "app/direct_mode.h"
#include "engine/conversion_settings.h"
#include "engine/convert_file.h"
#include "lang/language_file.h"
#include "platform/argument_text.h"
#include "tests/gtest.h"
#include "tests/test_support.h"

TEST(ArgumentText, SwitchValuesAndQuotedPathsOfTheTextRebuiltFromArguments)
{
    struct { const char* text; const char* name; int index; const char* value; } values[] = {
        {"-output 1 -resize pixels 640 480", "-resize", 2, "480"},
        {"-rotate left ", "-rotate", 1, nullptr},      // the text ends before the value
        {"-options  4", "-options", 0, ""},            // two blanks: an empty value
        {"-options  4", "-options", 1, "4"},
        {"-options \"\" 4", "-options", 0, ""},        // an empty argument
        {"-output=7", "-output", 0, nullptr},          // not a word of its own
        {"-inputone \"C:\\a -output 9\\x.png\" -output 1", "-output", 0, "1"},
        {"\"-output\" 9 -output 1", "-output", 0, "1"}, // a quoted word is a value
        {"-inputone -output 9 -output 1", "-output", 0, "1"}, // so is the word after -inputone
        {"-inputmulti -inputone -inputone \"x\"", "-inputone", 0, "x"},
    };
    for (const auto& row : values) {
        std::string value = "<missing>";
        SwitchValue(row.text, row.name, row.index, value);
        EXPECT_EQ(value, row.value ? row.value : "<missing>") << row.text;
    }
    EXPECT_EQ((std::vector<int>{LeadingInteger("42abc"), LeadingInteger("  -1"), LeadingInteger("word")}),
              (std::vector<int>{42, -1, 0}));

    std::string path;
    ASSERT_TRUE(QuotedPath("-output 1 -inputone \"C:\\Pics\\a b.png\" -x", "-inputone", path));
    EXPECT_EQ(path, "C:\\Pics\\a b.png");
    for (const char* text : {"-inputone C:\\a.png", "-inputone \"C:\\a.png", "-inputone\"", "-inputone"})
        EXPECT_FALSE(QuotedPath(text, "-inputone", path)) << text;

    // Whatever a path holds, the text rebuilt from the arguments gives it
    // back whole, and only the real switches count.
    const char* const switchWords[] = {"-output", "-options", "-resize", "-rotate", "-inputone", "-inputmulti", "-advanced"};
    for (const char* word : switchWords) {
        std::string path = std::string("/tmp/") + word + " 3 right 90/a \"" + word + "\" b.png";
        std::string list = std::string("C:\\x ") + word + "\\\"l.txt\"";
        const char* arguments[] = {"-rotate", "left", "5", "-inputone", path.c_str(), "-output", "2",
                                   "-inputmulti", list.c_str(), "-options", "1"};
        std::string text = ArgumentTextFromArguments(11, arguments), value;
        EXPECT_TRUE(QuotedPath(text, "-inputone", value) && value == path) << text;
        EXPECT_TRUE(QuotedPath(text, "-inputmulti", value) && value == list) << text;
        for (auto [name, expected] : {std::pair{"-output", "2"}, {"-options", "1"}, {"-rotate", "left"}})
            EXPECT_TRUE(SwitchValue(text, name, 0, value) && value == expected) << text;
        EXPECT_FALSE(HasSwitch(text, "-resize") || HasSwitch(text, "-advanced")) << text;
    }

    // Words with no place in the text: a negative number or a dash-led path is
    // a value, a value never takes a switch's place, an empty word is none.
    auto strays = [](const char* text) {
        std::vector<std::string> words;
        for (const StrayWord& word : StrayWords(text)) words.push_back(word.text + (word.looksLikeSwitch ? "!" : ""));
        return words;
    };
    EXPECT_EQ(strays("-output 1 -options 4 -resize percentage 50 50 -rotate right -90 -inputmulti -l.txt -advanced"),
              std::vector<std::string>{});
    EXPECT_EQ(strays("-resize pixels 640 -rotate left 90 x"), std::vector<std::string>{"x"});
    EXPECT_EQ(strays("help -output 1 \"-q\" -q  \"\""), (std::vector<std::string>{"help", "-q", "-q!", ""}));

    struct { std::vector<const char*> arguments; std::string text; } rows[] = {
        {{"-output", "1", "-inputone", "\"C:\\Pictures\\a.png\""}, "-output 1 -inputone \"C:\\Pictures\\a.png\""},
        {{"-inputmulti", "C:\\My Lists\\l.txt", "-advanced"}, "-inputmulti \"C:\\My Lists\\l.txt\" -advanced"},
        {{"-rotate", "a b", "-options", "", "-x", "a\"b"}, "-rotate \"a b\" -options \"\" -x \"a\"\"b\""},
        {{"-inputone", "\"/tmp/a.png\""}, "-inputone \"\"\"/tmp/a.png\"\"\""},  // only a Windows path loses its quotes
        {{}, ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ArgumentTextFromArguments((int)row.arguments.size(), row.arguments.data()), row.text);
}

using DirectModeTest = ProcessStateTest;

TEST_F(DirectModeTest, ChecksTheArgumentTextBeforeConverting)
{
    std::string missingList = "-output 1 -options 4 -inputmulti \"" + (directory / "none.txt") + "\"";
    // Every row is a usage error (exit status 2) but the unreadable list (1).
    struct { std::string text; const char* message; } rows[] = {
        {"-options 4 -inputone \"x\"", "caption 107"},
        {"-output 0 -options 4", "caption 107"},
        {"-output jpg -options 4", "caption 107"},
        {"-output -2 -options 0", "Please provide an output format from 1 to 12: 1 JPG, 2 BMP, 3 TGA, 4 PNG, 5 PBM, "
                                  "6 PGM, 7 PPM, 8 TIF, 9 WBMP, 10 XPM, 11 ICO, 12 GIF. (-output #)"},
        {"-output 1", "caption 108"},
        {"-output 1 -options  4", "caption 108"},
        {"-output 1 -options 0", "caption 99"},   // option 0 means "no option"
        {"-output 7 -options 9", "caption 99"},
        {"-output 4 -options 2", "PNG has no save options: please provide 0. (-options 0)"},
        {"-output 10 -options 27", "Please provide a save option from 28 to 29 for XPM, or 0 for its default. (-options #)"},
        {"-output 1 -options 4 -resize inches 6 4",
         "Please provide the resize type you want to use. (-resize percentage/pixels)"},
        {"-output 1 -options 4 -resize pixels 640",
         "Please provide the resize width and height you want to use. (-resize percentage/pixels # #)"},
        {"-output 1 -options 4 -rotate up 90", "Please provide the rotate type you want to use. (-rotate left/right)"},
        {"-output 1 -options 4 -rotate left", "Please provide the rotate degree you want to use. (-rotate left/right #)"},
        {"-output 1 -options 4 -inputone C:\\a.png", "caption 96"},
        {"-output 1 -options 4 -inputmulti list.txt", "caption 97"},
        {missingList, "caption 98"},
        // The third value of -resize is then the word "-rotate": a height of 0, no message.
        {"-output 1 -options 4 -resize Pixels 640 -rotate RIGHT 45", "caption 99"},
    };
    for (const auto& row : rows) {
        settings = ConversionSettings();
        EXPECT_EQ(RunDirectMode(row.text), row.text == missingList ? 1 : 2) << row.text;
        EXPECT_EQ(boxes.Take(), Texts{row.message}) << row.text;
    }
    EXPECT_EQ(settings.resizeMode, Pixels);
    EXPECT_EQ(settings.resizeWidth, 640);
    EXPECT_EQ(settings.resizeHeight, 0);
    EXPECT_EQ(settings.rotateDirection, Right);
    EXPECT_EQ(settings.rotateDegrees, 45);
}
