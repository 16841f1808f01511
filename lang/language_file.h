// The caption table and the language file that fills it.
#pragma once
#include <string>
#include <vector>

const int languageCount = 3;   // 0 English, 1 Norsk, 2 Deutsch
const int captionCount = 400;

extern std::string languageCaptions[languageCount][captionCount];

// Each language's own name, which the language menu shows in every
// language, and its file beside the program, by language number.
extern const char* const languageNames[languageCount];
extern const char* const languageFiles[languageCount];

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

// Reads a language file into one slot; false when the file cannot be opened,
// which only English (slot 0) reports with a message: a translation that is
// missing leaves its language in English. Captions the file does not supply
// keep their text.
bool LoadLanguageFile(int slot, const char* path);

// Caption k of the current language (a language outside 0 to 2 is taken as
// English). A caption the language leaves empty is the English one, so that
// no choice blanks the window; the empty text only when English has none
// either, or for a number outside the table.
const char* Caption(int k);

// Caption k with each "%1" to "%9" in it replaced by the value of that
// number; a number without a value gives the empty text.
std::string CaptionWith(int k, const std::vector<std::string>& values);

// Caption k with its values as a text to be put into words later, by a
// process that has the language files (a worker has none): it travels as
// the reason of an outcome and becomes words when the run records it.
std::string CaptionLater(int k, const std::vector<std::string>& values);

// The words of a CaptionLater text; any other text as it is.
std::string InWords(const std::string& text);
bool IsCaptionLater(const std::string& text);
