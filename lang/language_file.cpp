// The language file: bracketed section headers, each followed by a fixed
// number of lines whose position decides which caption they fill. Lines
// outside the blocks are ignored, which leaves room for comments.
#include "lang/language_file.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/conversion_settings.h"
#include "platform/host_file.h"
#include "platform/message_box.h"

std::string languageCaptions[languageCount][captionCount];
const char* const languageNames[languageCount] = {"English", "Norsk", "Deutsch"};
const char* const languageFiles[languageCount] = {"english.ini", "norsk.ini", "deutsch.ini"};

const CaptionSection captionSections[] = {
    {"[BUTTONS]", 7, 0, false},
    {"[FILE-MENU]", 5, 7, false},
    {"[HELP-MENU]", 6, 12, false},
    {"[GUI]", 8, 18, false},
    {"[JPEG-OPTIONS]", 6, 26, false},
    {"[PNM-OPTIONS]", 3, 32, false},
    {"[BMP-OPTIONS]", 2, 35, false},
    {"[TIFF-OPTIONS]", 8, 37, false},
    {"[WBMP-OPTIONS]", 10, 45, false},
    {"[XPM-OPTIONS]", 2, 55, false},
    {"[BASIC-PROCESSING]", 9, 57, false},
    {"[COLOR-PROCESSING]", 7, 66, false},
    {"[RESIZE-PROCESSING]", 8, 73, false},
    {"[MESSAGES]", 33, 89, true},
    {"[WINDOW]", 10, 122, true},
    {"[PHOTOS]", 3, 300, false},
    {"[COMMAND-LINE]", 30, 330, true},
    {"[SAFEGUARDS]", 13, 310, false},
    {"[COMMAND-LINE-VALUES]", 7, 380, false},
    {"[REPORTS]", 5, 260, true},
    {"[MAIN-WINDOW]", 20, 132, true},
    {"[FORMATS]", 12, 152, false},
    {"[PREFERENCES]", 10, 164, true},
    {"[LOG]", 12, 174, true},
    {"[INPUTS]", 6, 186, false},
    {"[FILE-TYPES]", 24, 192, false},
    {"[REASONS]", 10, 387, false},
};
const int captionSectionCount = sizeof captionSections / sizeof captionSections[0];

namespace {

// English texts of the last section for a language file written before it
// existed, so that an older english.ini keeps the window usable.
const int newestSectionFirst = 122;
const char* const newestSectionEnglish[] = {
    "&Options", "&Preferences", "Resize", "Rotate", "Stop", "&Stop Converting", "Stopping...",
    "File %1 of %2: %3",
    "%1 image(s) converted.\r\n%2 image(s) could not be converted.\r\n%3 image(s) not started.",
    "Do you want to see the log?",
};
const int newestSectionCount = sizeof newestSectionEnglish / sizeof newestSectionEnglish[0];

// Longer lines are taken in pieces of at most this many stored bytes, each
// piece a line of its own.
const size_t pieceLength = 199;

// The stored bytes of a line in pieces as program text. A line is UTF-8 or,
// when it is not, Windows-1252 as whole; a UTF-8 piece ends before a
// character that would not fit whole, so the cut never splits one and
// decoding never moves it.
void AppendPieces(const std::string& bytes, std::vector<std::string>& pieces)
{
    bool utf8 = IsUtf8Text(bytes);
    size_t offset = 0;
    do {
        size_t length = std::min(pieceLength, bytes.size() - offset);
        if (utf8) {
            while (offset + length < bytes.size() && (bytes[offset + length] & 0xC0) == 0x80) --length;
        }
        std::string piece = bytes.substr(offset, length);
        pieces.push_back(utf8 ? piece : TextOfWindows1252(piece));
        offset += length;
    } while (offset < bytes.size());
}

// The file's lines, line ends (LF or CR LF) removed, cut into pieces.
// A read error ends the file like its end does.
std::vector<std::string> ReadPieces(FILE* file)
{
    std::string bytes;
    char buffer[4096];
    size_t count;
    while ((count = fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, count);

    std::vector<std::string> pieces;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        size_t next = (end == std::string::npos) ? bytes.size() : end + 1;
        if (end == std::string::npos) end = bytes.size();
        if (end > start && bytes[end - 1] == '\r') --end;

        AppendPieces(bytes.substr(start, end - start), pieces);
        start = next;
    }
    return pieces;
}

// The section whose header the line begins with, at its very first character.
const CaptionSection* SectionOfHeader(const std::string& line)
{
    for (const CaptionSection& section : captionSections) {
        if (line.compare(0, strlen(section.header), section.header) == 0) return &section;
    }
    return NULL;
}

// "^^" becomes CR LF, scanning from the left: "^^^" is CR LF and a caret.
std::string WithLineBreaks(const std::string& line)
{
    std::string text = line;
    for (size_t at = text.find("^^"); at != std::string::npos; at = text.find("^^", at + 2)) {
        text[at] = '\r';
        text[at + 1] = '\n';
    }
    return text;
}

} // namespace

bool LoadLanguageFile(int slot, const char* path)
{
    if (slot < 0 || slot >= languageCount) return false;
    FILE* file = OpenHostFile(path, "r");
    if (!file) {
        if (slot == 0) ShowMessage(dialogWindow, "Error opening config file.", MB_OK | MB_ICONERROR);
        return false;
    }
    std::vector<std::string> lines = ReadPieces(file);
    fclose(file);

    std::string* captions = languageCaptions[slot];
    size_t next = 0;
    while (next < lines.size()) {
        const CaptionSection* section = SectionOfHeader(lines[next++]);
        if (!section) continue;
        // A block cut short by the end of the file fills only what it has.
        for (int i = 0; i < section->lineCount && next < lines.size(); ++i, ++next) {
            captions[section->firstCaption + i] =
                section->lineBreaks ? WithLineBreaks(lines[next]) : lines[next];
        }
    }
    return true;
}

const char* Caption(int k)
{
    if (k < 0 || k >= captionCount) return "";
    int language = settings.language;
    if (language < 0 || language >= languageCount) language = 0;
    if (!languageCaptions[language][k].empty()) return languageCaptions[language][k].c_str();
    if (!languageCaptions[0][k].empty()) return languageCaptions[0][k].c_str();
    int newest = k - newestSectionFirst;
    return newest >= 0 && newest < newestSectionCount ? newestSectionEnglish[newest] : "";
}

std::string CaptionWith(int k, const std::vector<std::string>& values)
{
    std::string text = Caption(k);
    for (size_t at = text.find('%'); at != std::string::npos && at + 1 < text.size(); at = text.find('%', at)) {
        char digit = text[at + 1];
        if (digit < '1' || digit > '9') {
            ++at;
            continue;
        }
        size_t index = digit - '1';
        const std::string& value = index < values.size() ? values[index] : std::string();
        text.replace(at, 2, value);
        at += value.size();
    }
    return text;
}

namespace {

const char laterMark = '\x1b', valueMark = '\x1f';

} // namespace

std::string CaptionLater(int k, const std::vector<std::string>& values)
{
    std::string text = laterMark + std::to_string(k);
    for (const std::string& value : values) text += valueMark + value;
    return text;
}

bool IsCaptionLater(const std::string& text)
{
    return !text.empty() && text[0] == laterMark;
}

std::string InWords(const std::string& text)
{
    if (!IsCaptionLater(text)) return text;
    std::vector<std::string> values;
    for (size_t at = text.find(valueMark); at != std::string::npos;) {
        size_t next = text.find(valueMark, at + 1);
        values.push_back(text.substr(at + 1, next == std::string::npos ? std::string::npos : next - at - 1));
        at = next;
    }
    return CaptionWith(atoi(text.c_str() + 1), values);
}
