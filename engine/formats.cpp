// stub: filled by the engine work
#include "engine/formats.h"
const OutputFormat outputFormats[formatCount + 1] = {};
const SaveOption saveOptions[saveOptionCount + 1] = {};
const OutputFormat& FormatRow(int format) { return outputFormats[(format >= 1 && format <= formatCount) ? format : 0]; }
const char* FormatExtension(int) { return ""; }
int SaveFlags(int) { return 0; }
int BilevelMethodForOption(int) { return 0; }
