// Reading switches out of the argument text. The text is taken apart into
// words once: a blank ends a word (two blanks in a row leave an empty word
// between them), and a double quote opens a stretch in which blanks belong to
// the word and two quotes stand for one, up to the next single quote. A switch
// counts only as a word of its own, unquoted, and not as the value of
// -inputone or -inputmulti, so no path can pass for a switch. Its first
// occurrence counts; its values are the words after it.
#pragma once
#include <string>
#include <vector>

bool HasSwitch(const std::string& text, const char* name);

// Value number `index` (0 for the first) of a switch; false when the switch is
// absent or the text ends before that value.
bool SwitchValue(const std::string& text, const char* name, int index, std::string& value);

// The quoted path that follows a switch (-inputone, -inputmulti); false when
// the switch is absent or its value is not a closed quoted word.
bool QuotedPath(const std::string& text, const char* name, std::string& path);

// A leading decimal integer with optional sign, blanks skipped; 0 when the
// text does not begin with a number.
int LeadingInteger(const std::string& value);

// A word with no place in the text: neither a switch of the program nor one
// of its values. A value never takes a switch's place ("-resize pixels 640
// -rotate left 90" leaves -rotate its own), and an empty word is no word.
struct StrayWord {
    std::string text;
    bool looksLikeSwitch; // unquoted and beginning with a dash
};
std::vector<StrayWord> StrayWords(const std::string& text);
