// The main window's captions and tooltips in the current language, and the
// language menu. Every text the window shows is set here, so that switching
// the language changes all of them at once.
#pragma once
#include <string>

// Gives the window's controls their tooltips (as the window opens).
void AddMainWindowTooltips();

// Puts the current language's captions on the main window: buttons, menu,
// group labels, switches, the list header, the selectors' entries and the
// tooltips. The selections and the list header's width stay as they are.
void ApplyMainWindowCaptions();

// Marks the current language among the language menu entries; entries the
// menu does not hold are left out.
void UpdateLanguageMenu();

// A language command: switch, apply, mark, and save the settings.
void SelectLanguage(int language);

// The stored (English) name of the entry selected in the resize-mode or the
// direction selector, whatever language shows it: "Percentage", "Pixels",
// "Left" or "Right"; empty when none is selected or there is no window.
std::string SelectedEntryName(int selector);

// Fills the resize-mode and direction selectors and selects the entries the
// settings name (the first when they name none).
void SetUpResizeAndRotateSelectors();

// The resize unit named by a resize-mode name ("Percentage", "Pixels"), and
// the direction named by a direction name ("Left", "Right"); 0 for any
// other text.
int ResizeModeOfText(const char* text);
int DirectionOfText(const char* text);
