// The output-format and save-option selectors of the main window.
#pragma once

// Display names of save options 1 to 29 (slot 0 unused), from the captions.
extern char saveOptionNames[30][52];
extern int appliedFormat;
extern char selectedFormatText[100];
extern char selectedOptionText[100];

// Takes the format from `selectedFormatText` and, when it changed, sets the
// option selector and the resize controls up for it.
void UpdateFormatSelectors();

// Fills the format selector, selects JPG and sets the option selector up for
// it (the window's opening).
void SetUpFormatSelectors();

// Refills both selectors with the current language's names, keeping the
// format; the option selector goes back to the format's remembered option.
void ApplyFormatCaptions();

// The user picked another entry in the format selector.
void FormatSelectionChanged();

// The user picked another entry in the option selector: `saveOption` becomes
// that entry's option.
void OptionSelectionChanged();

// Asks, then makes the current option the remembered one of the current
// format and writes the settings file.
void SaveAsDefaultOption();

// Enables the resize switch, its detail controls and the option selector as
// the current format and `resizeEnabled` allow.
void EnableControlsForFormat();

// False for ICO, whose images keep their size.
bool FormatAllowsResize(int format);
