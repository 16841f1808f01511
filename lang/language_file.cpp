// stub: filled by the language work
#include "lang/language_file.h"
#include "engine/conversion_settings.h"
std::string languageCaptions[languageCount][captionCount];
bool LoadLanguageFile(int, const char*) { return false; }
const char* Caption(int k) { return languageCaptions[settings.language][k].c_str(); }
