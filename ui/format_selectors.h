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
