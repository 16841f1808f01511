// Reads the argument text into a CommandLine; see command_line.h.
#include "app/command_line.h"

#include <cstdlib>

namespace {

struct ArgumentWord {
    std::string text;   // quotes removed
    bool quoted;        // began with a double quote
    bool closed;        // every quote it opened was closed
    bool isSwitchPlace; // neither the value of -inputone nor of -inputmulti
};

bool IsWord(const ArgumentWord& word, const char* name)
{
    return word.isSwitchPlace && !word.quoted && word.text == name;
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
            const ArgumentWord& last = words.back();
            word = {"", false, true, !IsWord(last, "-inputone") && !IsWord(last, "-inputmulti")};
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

CommandLine ReadCommandLine(const std::string& text)
{
    CommandLine line;
    struct ValueSwitch {
        const char* name;
        size_t valueCount;
        SwitchUse* use;
    } valueSwitches[] = {
        {"-output", 1, &line.output}, {"-options", 1, &line.options},
        {"-resize", 3, &line.resize}, {"-rotate", 2, &line.rotate},
    };
    struct { const char* name; PathSwitch* use; } pathSwitches[] = {
        {"-inputone", &line.inputOne}, {"-inputmulti", &line.inputMulti},
    };
    struct { const char* name; bool* present; } plainSwitches[] = {
        {"-advanced", &line.advanced}, {"--convert-to", &line.convertTo}, {"--help", &line.help},
        {"-h", &line.help}, {"--version", &line.version}, {"-v", &line.version},
    };

    std::vector<ArgumentWord> words = SplitArgumentText(text);
    // How many of the words after it each word takes as its values, -1 for
    // a word that is no switch of the program.
    auto valueCount = [&](const ArgumentWord& word) -> int {
        for (const ValueSwitch& known : valueSwitches)
            if (IsWord(word, known.name)) return (int)known.valueCount;
        for (const auto& known : pathSwitches)
            if (IsWord(word, known.name)) return 1;
        return IsWord(word, "-advanced") ? 0 : -1;
    };

    for (size_t i = 0; i < words.size(); i++) {
        const ArgumentWord& word = words[i];
        const ArgumentWord* next = i + 1 < words.size() ? &words[i + 1] : nullptr;
        for (const ValueSwitch& known : valueSwitches) {
            if (!IsWord(word, known.name) || known.use->present) continue;
            known.use->present = true;
            for (size_t k = i + 1; k < words.size() && k <= i + known.valueCount; k++)
                known.use->values.push_back(words[k].text);
        }
        for (const auto& known : pathSwitches) {
            if (!IsWord(word, known.name) || known.use->present) continue;
            known.use->present = true;
            known.use->quoted = next && next->quoted && next->closed;
            if (known.use->quoted) known.use->path = next->text;
        }
        for (const auto& known : plainSwitches)
            if (IsWord(word, known.name)) *known.present = true;

        int values = valueCount(word);
        if (values < 0 && (word.quoted || !word.text.empty()))
            line.strays.push_back({word.text, !word.quoted && word.text[0] == '-'});
        for (; values > 0 && i + 1 < words.size() && valueCount(words[i + 1]) < 0; values--) i++;
    }
    return line;
}

int LeadingInteger(const std::string& value)
{
    return (int)strtol(value.c_str(), NULL, 10);
}
