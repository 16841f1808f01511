#include "app/command_line.h"

#include <cstdlib>

namespace {

struct ArgumentWord {
    std::string text;   // quotes removed
    bool quoted;        // began with a double quote
    bool closed;        // every quote it opened was closed
    bool isSwitchPlace; // neither the value of -inputone nor of -inputmulti
};

bool IsInputSwitch(const ArgumentWord& word)
{
    return word.isSwitchPlace && !word.quoted && (word.text == "-inputone" || word.text == "-inputmulti");
}

// Index of the word standing for the switch; -1 when it is absent.
int SwitchIndex(const std::vector<ArgumentWord>& words, const char* name)
{
    for (size_t i = 0; i < words.size(); i++)
        if (words[i].isSwitchPlace && !words[i].quoted && words[i].text == name) return (int)i;
    return -1;
}

struct ProgramSwitch {
    const char* name;
    int valueCount;
};

const ProgramSwitch programSwitches[] = {
    {"-output", 1}, {"-options", 1}, {"-resize", 3}, {"-rotate", 2},
    {"-inputone", 1}, {"-inputmulti", 1}, {"-advanced", 0},
};

// How many values the switch the word stands for takes; -1 when it stands for none.
int ValueCount(const ArgumentWord& word)
{
    if (!word.isSwitchPlace || word.quoted) return -1;
    for (const ProgramSwitch& known : programSwitches)
        if (word.text == known.name) return known.valueCount;
    return -1;
}

std::vector<ArgumentWord> SplitArgumentText(const std::string& text)
{
    std::vector<ArgumentWord> words;
    ArgumentWord word = {"", false, true, true};
    bool inQuotes = false;
    for (size_t i = 0; i < text.size(); i++) {
        char c = text[i];
        if (c == '"' && inQuotes && i + 1 < text.size() && text[i + 1] == '"') {
            word.text += '"';
            i++;
        } else if (c == '"') {
            if (!inQuotes && word.text.empty()) word.quoted = true;
            inQuotes = !inQuotes;
        } else if (c == ' ' && !inQuotes) {
            words.push_back(word);
            word = {"", false, true, !IsInputSwitch(words.back())};
        } else {
            word.text += c;
        }
    }
    word.closed = !inQuotes;
    // A blank at the very end leaves no value after it.
    if (!word.text.empty() || word.quoted) words.push_back(word);
    return words;
}

} // namespace

bool HasSwitch(const std::string& text, const char* name)
{
    return SwitchIndex(SplitArgumentText(text), name) >= 0;
}

bool SwitchValue(const std::string& text, const char* name, int index, std::string& value)
{
    std::vector<ArgumentWord> words = SplitArgumentText(text);
    int at = SwitchIndex(words, name);
    if (at < 0 || at + 1 + index >= (int)words.size()) return false;
    value = words[at + 1 + index].text;
    return true;
}

bool QuotedPath(const std::string& text, const char* name, std::string& path)
{
    std::vector<ArgumentWord> words = SplitArgumentText(text);
    int at = SwitchIndex(words, name);
    if (at < 0 || at + 1 >= (int)words.size()) return false;
    // Without a closing quote the path's end is unknown; taking the rest of
    // the text could name another file.
    const ArgumentWord& value = words[at + 1];
    if (!value.quoted || !value.closed) return false;
    path = value.text;
    return true;
}

int LeadingInteger(const std::string& value)
{
    return (int)strtol(value.c_str(), NULL, 10);
}

std::vector<StrayWord> StrayWords(const std::string& text)
{
    std::vector<ArgumentWord> words = SplitArgumentText(text);
    std::vector<StrayWord> strays;
    for (size_t i = 0; i < words.size(); i++) {
        int values = ValueCount(words[i]);
        if (values < 0 && (words[i].quoted || !words[i].text.empty()))
            strays.push_back({words[i].text, !words[i].quoted && words[i].text[0] == '-'});
        for (; values > 0 && i + 1 < words.size() && ValueCount(words[i + 1]) < 0; values--) i++;
    }
    return strays;
}
