// stub: filled by the language work
#include "lang/captions.h"
void ApplyCaptions() {}
void UpdateLanguageMenu() {}
void SelectLanguage(int) {}
