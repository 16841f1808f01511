// Reading switches out of the argument text. A switch is found by a plain,
// case-sensitive substring search; its first occurrence counts, wherever it
// stands. Values follow the name after one character and are separated by
// exactly one blank.
#pragma once
#include <string>

bool HasSwitch(const std::string& text, const char* name);

// Value number `index` (0 for the first) of a switch; false when the switch is
// absent or the text ends before that value begins. A value may be empty (two
// blanks in a row).
bool SwitchValue(const std::string& text, const char* name, int index, std::string& value);

// The path in double quotes after a switch (-inputone, -inputmulti); false
// when the switch is absent or there is no opening or no closing quote.
bool QuotedPath(const std::string& text, const char* name, std::string& path);

// A leading decimal integer with optional sign, blanks skipped; 0 when the
// text does not begin with a number.
int LeadingInteger(const std::string& value);
