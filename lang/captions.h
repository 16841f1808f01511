// The current language's captions on the main window, and the language menu.
#pragma once
#include "lang/language_file.h"

// The menu command, fixed name and language file (beside the program) of
// each language, by language number.
struct LanguageEntry {
    int command;
    const char* name;
    const char* file;
};
extern const LanguageEntry languageEntries[languageCount];

// Puts the current language's captions on the main window (buttons, menu,
// group labels, switches, list header), refills the save-option names and rebuilds the
// selectors. Without a main window only the names and selectors are done.
void ApplyCaptions();

// Marks the current language among the three language menu entries; entries
// the menu does not hold are left out.
void UpdateLanguageMenu();

// A language command: switch, apply, mark, and save the settings.
void SelectLanguage(int language);
