// The argument text read into its switches, and rebuilt from a program's arguments.
#include <string>
#include <vector>

#include "app/command_line.h"
#include "platform/argument_text.h"
#include "platform/host_file.h"
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

    // Whatever a path holds, the text rebuilt from the arguments gives it back whole.
    const char* arguments[] = {"-inputone", "/tmp/-output 3 \"-inputmulti\" b.png", "-output", "2"};
    CommandLine line = ReadCommandLine(ArgumentTextFromArguments(4, arguments));
    EXPECT_TRUE(line.inputOne.quoted && line.inputOne.path == arguments[1]);
    EXPECT_EQ(line.output.values, Texts{"2"});

    // A value never takes a switch's place.
    std::vector<std::string> strays;
    for (const StrayWord& word : ReadCommandLine("-resize pixels 640 -rotate left 90 x").strays) strays.push_back(word.text);
    EXPECT_EQ(strays, std::vector<std::string>{"x"});

    struct { std::vector<const char*> arguments; std::string text; } rows[] = {
        {{"-output", "1", "-inputone", "\"C:\\Pictures\\a.png\""}, "-output 1 -inputone \"C:\\Pictures\\a.png\""},
        {{"-rotate", "a b", "-options", "", "-x", "a\"b"}, "-rotate \"a b\" -options \"\" -x \"a\"\"b\""},
        {{"-inputone", "\"/tmp/a.png\""}, "-inputone \"\"\"/tmp/a.png\"\"\""},  // only a Windows path loses its quotes
    };
    for (const auto& row : rows)
        EXPECT_EQ(ArgumentTextFromArguments((int)row.arguments.size(), row.arguments.data()), row.text);
}

// A list's lines name files in a few folders: a folder's Windows form is
// found once, and a name there is the host's own spelling only where the host
// has it so; a name only there in another case is found as Wine finds it.
TEST(ListedNames, AFolderIsLearntOnceAndANameInAnotherCaseIsFoundAsWineFindsIt)
{
    TempDir dir;
    std::string host = HostPath(dir.path().c_str());
    WriteFileBytes(dir / "a.png", "a");
    WriteFileBytes(dir / "B.PNG", "b");
    std::string listed;
    ASSERT_TRUE(InputWindowsPath(host + "/a.png", listed));
    EXPECT_EQ(dir / "a.png", listed);
    EXPECT_EQ(host + "/a.png", HostPath(listed.c_str()));
    EXPECT_EQ(host + "/B.PNG", HostPath((dir / "b.png").c_str()));

    // Names relative to the current directory, whichever it is now.
    ASSERT_TRUE(CreateDirectoryA((dir / "sub").c_str(), NULL));
    WriteFileBytes(dir / "sub\\a.png", "a");
    char before[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, before);
    for (std::string folder : {dir.path(), dir / "sub"}) {
        SetCurrentDirectoryA(folder.c_str());
        EXPECT_TRUE(InputWindowsPath("a.png", listed) && listed == folder + "\\a.png") << listed;
    }
    SetCurrentDirectoryA(before);
}
