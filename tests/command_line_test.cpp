// The argument text read into its switches, and direct mode's checks of their values.
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
    using Use = SwitchUse CommandLine::*;
    struct { const char* text; Use use; size_t index; const char* value; } values[] = {
        {"-output 1 -resize pixels 640 480", &CommandLine::resize, 2, "480"},
        {"-rotate left ", &CommandLine::rotate, 1, nullptr},      // the text ends before the value
        {"-options  4", &CommandLine::options, 0, ""},            // two blanks: an empty value
        {"-options \"\" 4", &CommandLine::options, 0, ""},        // an empty argument
        {"-output=7", &CommandLine::output, 0, nullptr},          // not a word of its own
        {"-inputone \"C:\\a -output 9\\x.png\" -output 1", &CommandLine::output, 0, "1"},
        {"\"-output\" 9 -output 1", &CommandLine::output, 0, "1"}, // a quoted word is a value
        {"-inputone -output 9 -output 1", &CommandLine::output, 0, "1"}, // so is the word after -inputone
        {"-resize pixels 640 -rotate left 5", &CommandLine::resize, 2, "-rotate"},
        {"-options 4 -x -options 5", &CommandLine::options, 0, "4"}, // the first occurrence counts
    };
    for (const auto& row : values) {
        CommandLine line = ReadCommandLine(row.text);
        const SwitchUse& use = line.*row.use;
        EXPECT_EQ(row.index < use.values.size() ? use.values[row.index] : "<missing>",
                  row.value ? row.value : "<missing>") << row.text;
    }
    EXPECT_EQ((std::vector<int>{LeadingInteger("42abc"), LeadingInteger("  -1"), LeadingInteger("word")}),
              (std::vector<int>{42, -1, 0}));

    PathSwitch one = ReadCommandLine("-output 1 -inputone \"C:\\Pics\\a b.png\" -x").inputOne;
    EXPECT_TRUE(one.present && one.quoted && one.path == "C:\\Pics\\a b.png");
    EXPECT_EQ(ReadCommandLine("-inputmulti -inputone -inputone \"x\"").inputOne.path, "x");
    for (const char* text : {"-inputone C:\\a.png", "-inputone \"C:\\a.png", "-inputone\"", "-inputone"}) {
        one = ReadCommandLine(text).inputOne;
        EXPECT_TRUE(one.present && !one.quoted) << text;
    }

    // Whatever a path holds, the text rebuilt from the arguments gives it
    // back whole, and only the real switches count.
    const char* const switchWords[] = {"-output", "-options", "-resize", "-rotate", "-inputone", "-inputmulti", "-advanced"};
    for (const char* word : switchWords) {
        std::string path = std::string("/tmp/") + word + " 3 right 90/a \"" + word + "\" b.png";
        std::string list = std::string("C:\\x ") + word + "\\\"l.txt\"";
        const char* arguments[] = {"-rotate", "left", "5", "-inputone", path.c_str(), "-output", "2",
                                   "-inputmulti", list.c_str(), "-options", "1"};
        std::string text = ArgumentTextFromArguments(11, arguments);
        CommandLine line = ReadCommandLine(text);
        EXPECT_TRUE(line.inputOne.quoted && line.inputOne.path == path) << text;
        EXPECT_TRUE(line.inputMulti.quoted && line.inputMulti.path == list) << text;
        EXPECT_EQ(line.output.values, Texts{"2"}) << text;
        EXPECT_EQ(line.options.values, Texts{"1"}) << text;
        EXPECT_EQ(line.rotate.values, (Texts{"left", "5"})) << text;
        EXPECT_FALSE(line.resize.present || line.advanced || !line.strays.empty()) << text;
    }
    CommandLine help = ReadCommandLine("-output 1 -h \"--version\"");
    EXPECT_TRUE(help.help && !help.version && !help.convertTo);

    // Words with no place in the text: a negative number or a dash-led path is
    // a value, a value never takes a switch's place, an empty word is none.
    auto strays = [](const char* text) {
        std::vector<std::string> words;
        for (const StrayWord& word : ReadCommandLine(text).strays)
            words.push_back(word.text + (word.looksLikeSwitch ? "!" : ""));
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
        {"-output -2 -options 0", "caption 380"},
        {"-output 13 -options 0", "caption 380"},
        {"-output 1", "caption 108"},
        {"-output 1 -options  4", "caption 108"},
        {"-output 1 -options 0", "caption 99"},   // option 0 means "no option"
        {"-output 7 -options 9", "caption 99"},
        {"-output 4 -options 2", "caption 99"},    // another format's option only noted
        {"-output 1 -options 4 -resize inches 6 4", "caption 383"},
        {"-output 1 -options 4 -resize pixels 640", "caption 384"},
        {"-output 1 -options 4 -rotate up 90", "caption 385"},
        {"-output 1 -options 4 -rotate left", "caption 386"},
        {"-output 1 -options 4 -inputone C:\\a.png", "caption 96"},
        {"-output 1 -options 4 -inputmulti list.txt", "caption 97"},
        {missingList, "caption 98"},
        // The third value of -resize is then the word "-rotate": a height of 0, no message.
        {"-output 1 -options 4 -resize Pixels 640 -rotate RIGHT 45", "caption 99"},
    };
    for (const auto& row : rows) {
        settings = ConversionSettings();
        EXPECT_EQ(RunDirectMode(ReadCommandLine(row.text)), row.text == missingList ? 1 : 2) << row.text;
        EXPECT_EQ(boxes.Take(), Texts{row.message}) << row.text;
    }
    EXPECT_EQ(settings.resizeMode, Pixels);
    EXPECT_EQ(settings.resizeWidth, 640);
    EXPECT_EQ(settings.resizeHeight, 0);
    EXPECT_EQ(settings.rotateDirection, Right);
    EXPECT_EQ(settings.rotateDegrees, 45);

    // An option of another format's group converts with the format's default.
    RunDirectMode(ReadCommandLine("-output 10 -options 27"));
    EXPECT_EQ(boxes.Take(), Texts{"caption 99"});
    EXPECT_EQ(settings.saveOption, 0);
}
