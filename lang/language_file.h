// The caption table and the language file that fills it.
#pragma once
#include <string>

const int languageCount = 3;   // 0 English, 1 Norsk, 2 Deutch
const int captionCount = 175;

extern std::string languageCaptions[languageCount][captionCount];

// Reads a language file into one slot; false (after a message) when the file
// cannot be opened. Captions the file does not supply keep their text.
bool LoadLanguageFile(int slot, const char* path);

// Caption k of the current language; the empty text for an empty caption.
const char* Caption(int k);
