// The single input and the list file's lines made into inputs; used by direct mode and the file list.
#include "app/input_list.h"

#include <windows.h>

#include "lang/caption_numbers.h"
#include "lang/language_file.h"

namespace {

// The longest list line taken as a path; a longer one is reported, never cut,
// since a cut path could name another file.
const size_t longestListLine = 1998;
// How much of a longer line its report shows.
const size_t shownLineStart = 100;

// The line's start, ending at a whole character.
std::string LineStart(const std::string& line)
{
    size_t end = shownLineStart;
    while (end > 0 && (line[end] & 0xC0) == 0x80) end--;
    return line.substr(0, end) + "...";
}

// A name that is not UTF-8 text comes as it is from a list marked UTF-8, and
// from an argument with U+FFFD where Wine could not read its bytes.
bool LostAsUtf8(const std::string& text)
{
    return text.find("\xEF\xBF\xBD") != std::string::npos ||
           MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), (int)text.size(), NULL, 0) == 0;
}

} // namespace

InputEntry InputFromText(const std::string& text)
{
    InputEntry input = {"", nullptr};
    if (!text.empty() && LostAsUtf8(text)) return {text, Caption(CaptionNameNotUtf8)};
    if (NamesDevice(text)) return {text, Caption(CaptionDeviceName)};
    if (!InputWindowsPath(text, input.path)) input = {text, Caption(CaptionInexactName)};
    return input;
}

TextFileResult ReadInputList(const std::string& listText, std::vector<InputEntry>& inputs)
{
    inputs.clear();
    InputEntry list = InputFromText(listText);
    if (list.failure) return TextFileUnreadable;
    std::vector<std::string> lines;
    TextFileResult result = ReadTextFileLines(list.path.c_str(), largestListFile, lines);
    for (const std::string& line : lines) {
        if (line.size() > longestListLine)
            inputs.push_back({LineStart(line), Caption(CaptionListLineTooLong)});
        else if (!line.empty())
            inputs.push_back(InputFromText(line));
    }
    return result;
}
