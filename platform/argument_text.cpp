// The Windows argument text built from a Unix shell's arguments; used by the entry.
#include "platform/argument_text.h"

#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "platform/host_file.h"

namespace {

std::string Quoted(const std::string& argument)
{
    std::string text = "\"";
    for (char c : argument) text += c == '"' ? "\"\"" : std::string(1, c);
    return text + '"';
}

// A file manager entry passes its Windows path in quotes; no Windows path
// holds a quote of its own.
bool IsQuotedWindowsPath(const std::string& argument)
{
    return argument.size() >= 2 && argument.front() == '"' && argument.back() == '"' &&
           IsWindowsPath(argument.substr(1, argument.size() - 2));
}

} // namespace

std::string ArgumentTextFromArguments(int argc, const char* const* argv)
{
    std::string text;
    bool nextIsInputPath = false;
    for (int i = 0; i < argc; i++) {
        std::string argument = argv[i];
        if (i > 0) text += ' ';
        if (nextIsInputPath && IsQuotedWindowsPath(argument)) argument = argument.substr(1, argument.size() - 2);
        bool plain = !argument.empty() && argument.find_first_of(" \"") == std::string::npos;
        text += plain && !nextIsInputPath ? argument : Quoted(argument);
        nextIsInputPath = !nextIsInputPath && (argument == "-inputone" || argument == "-inputmulti");
    }
    return text;
}

std::string ProcessArgumentText()
{
    // Wine builds the command line from the Unix arguments and escapes the
    // quotes in them, so the text is rebuilt from the arguments themselves.
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) return std::string();

    std::vector<std::string> arguments;
    for (int i = 1; i < count; i++) {
        int length = WideCharToMultiByte(CP_ACP, 0, wide[i], -1, NULL, 0, NULL, NULL);
        std::string argument(length > 0 ? length - 1 : 0, '\0');
        if (length > 0) WideCharToMultiByte(CP_ACP, 0, wide[i], -1, &argument[0], length, NULL, NULL);
        arguments.push_back(argument);
    }
    LocalFree(wide);

    std::vector<const char*> pointers;
    for (const std::string& argument : arguments) pointers.push_back(argument.c_str());
    return ArgumentTextFromArguments((int)pointers.size(), pointers.data());
}
