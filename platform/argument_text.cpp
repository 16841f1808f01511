#include "platform/argument_text.h"

#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "platform/host_file.h"

std::string ArgumentTextFromArguments(int argc, const char* const* argv)
{
    std::string text;
    bool nextIsInputPath = false;
    for (int i = 0; i < argc; i++) {
        std::string argument = argv[i];
        if (!text.empty()) text += ' ';
        bool quoted = !argument.empty() && argument.front() == '"';
        if (nextIsInputPath && quoted && (argument.size() < 2 || argument.back() != '"')) {
            text += argument; // no closing quote: left for the parser to refuse
        } else if (nextIsInputPath) {
            if (quoted) argument = argument.substr(1, argument.size() - 2);
            text += '"' + FullWindowsPath(argument) + '"';
        } else if (argument.find(' ') != std::string::npos && !quoted) {
            text += '"' + argument + '"';
        } else {
            text += argument;
        }
        nextIsInputPath = argument == "-inputone" || argument == "-inputmulti";
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
