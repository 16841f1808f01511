// stub: filled by the main window work
#include "ui/format_selectors.h"
char saveOptionNames[30][52];
int appliedFormat = 0;
char selectedFormatText[100];
char selectedOptionText[100];
void UpdateFormatSelectors() {}
