#pragma once

// Puts the current language's captions on the main window (buttons, menu,
// group labels, list header), refills the save-option names and rebuilds the
// selectors. Without a main window only the names and selectors are done.
void ApplyCaptions();

// Marks the current language among the three language menu entries.
void UpdateLanguageMenu();

// A language command: switch, apply, mark, and save the settings.
void SelectLanguage(int language);
