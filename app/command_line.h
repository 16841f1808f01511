// The argument text read once into what it asks for; start-up, direct mode
// and the advanced file list read this value, never the text. The text is
// taken apart into words: a blank ends a word (two blanks in a row leave an
// empty word between them), and a double quote opens a stretch in which
// blanks belong to the word and two quotes stand for one, up to the next
// single quote. A switch counts only as a word of its own, unquoted, and not
// as the value of -inputone or -inputmulti, so no path can pass for a switch.
// Its first occurrence counts; its values are the words after it.
#pragma once
#include <string>
#include <vector>

// A switch and the words after it, as many as it takes (fewer when the text
// ends first). A value is whatever word follows, a switch name included:
// "-resize pixels 640 -rotate" gives the height "-rotate".
struct SwitchUse {
    bool present = false;
    std::vector<std::string> values;
};

// -inputone or -inputmulti and its path; `quoted` only when the path is a
// closed quoted word, since without its closing quote the path's end is
// unknown and the rest of the text could name another file.
struct PathSwitch {
    bool present = false;
    bool quoted = false;
    std::string path;
};

// A word with no place in the text: neither a switch of the program nor one
// of its values. A value never takes a switch's place ("-resize pixels 640
// -rotate left 90" leaves -rotate its own), and an empty word is no word.
struct StrayWord {
    std::string text;
    bool looksLikeSwitch; // unquoted and beginning with a dash
};

struct CommandLine {
    bool help = false;      // --help or -h
    bool version = false;   // --version or -v
    bool convertTo = false; // --convert-to, which only the launcher reads
    bool advanced = false;
    SwitchUse output, options, resize, rotate;
    PathSwitch inputOne, inputMulti;
    std::vector<StrayWord> strays;
};

CommandLine ReadCommandLine(const std::string& text);

// A leading decimal integer with optional sign, blanks skipped; 0 when the
// text does not begin with a number.
int LeadingInteger(const std::string& value);
