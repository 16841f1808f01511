// The caption table and the language file that fills it.
#pragma once
#include <string>

const int languageCount = 3;   // 0 English, 1 Norsk, 2 Deutch
const int captionCount = 175;

extern std::string languageCaptions[languageCount][captionCount];

// A bracketed section of the language file: the lines after its header fill
// captions firstCaption, firstCaption + 1, ... in order.
struct CaptionSection {
    const char* header;
    int lineCount;
    int firstCaption;
    bool lineBreaks;   // "^^" in its lines stands for CR LF
};

// In the order a line is tested against them.
extern const CaptionSection captionSections[];
extern const int captionSectionCount;

// Reads a language file into one slot; false (after a message) when the file
// cannot be opened. Captions the file does not supply keep their text.
bool LoadLanguageFile(int slot, const char* path);

// Caption k of the current language; the empty text for an empty caption, a
// number outside the table, or a language outside 0 to 2 (taken as English).
const char* Caption(int k);
