#include "app/command_line.h"

#include <cstdlib>

bool HasSwitch(const std::string& text, const char* name)
{
    return text.find(name) != std::string::npos;
}

bool SwitchValue(const std::string& text, const char* name, int index, std::string& value)
{
    size_t at = text.find(name);
    if (at == std::string::npos) return false;

    // The character right after the name is skipped whatever it is.
    size_t begin = at + std::char_traits<char>::length(name) + 1;
    for (int i = 0;; i++) {
        if (begin >= text.size()) return false;
        size_t end = text.find(' ', begin);
        if (i == index) {
            value = text.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
            return true;
        }
        if (end == std::string::npos) return false;
        begin = end + 1;
    }
}

bool QuotedPath(const std::string& text, const char* name, std::string& path)
{
    size_t at = text.find(name);
    if (at == std::string::npos) return false;
    size_t open = text.find('"', at + std::char_traits<char>::length(name) + 1);
    if (open == std::string::npos) return false;
    // Without a closing quote the path's end is unknown; taking the rest of
    // the text could name another file.
    size_t close = text.find('"', open + 1);
    if (close == std::string::npos) return false;
    path = text.substr(open + 1, close - open - 1);
    return true;
}

int LeadingInteger(const std::string& value)
{
    return (int)strtol(value.c_str(), NULL, 10);
}
