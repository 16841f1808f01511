// The vocabulary of output formats and save options: the one table of each.
#pragma once
#include "engine/conversion_settings.h"

const int formatCount = 12;    // output formats 1 to 12
const int saveOptionCount = 29; // save options 1 to 29; 0 means none

// Output format numbers, the rows of outputFormats.
enum FormatNumber {
    FormatJpg = 1,
    FormatBmp = 2,
    FormatTga = 3,
    FormatPng = 4,
    FormatPbm = 5,
    FormatPgm = 6,
    FormatPpm = 7,
    FormatTif = 8,
    FormatWbmp = 9,
    FormatXpm = 10,
    FormatIco = 11,
    FormatGif = 12,
};

struct OutputFormat {
    const char* shortName;     // "JPG": the command line's name; the selector shows a caption
    const char* extension;     // lower case, no dot
    int firstOption;           // 0 when the format has no save options
    int lastOption;
    int ConversionSettings::*defaultOption; // remembered option, or null
};

struct SaveOption {
    int saveFlags;   // FreeImage save flag word (for XPM: the quantizer)
    int caption;     // caption number of the option's display name
};

// Rows 1 to 12; row 0 is an empty format (no name, no extension, no options).
extern const OutputFormat outputFormats[formatCount + 1];
// Rows 1 to 29; row 0 is "no option" (flags 0, caption -1).
extern const SaveOption saveOptions[saveOptionCount + 1];

// The row of a format number; the empty row 0 for a number outside 1 to 12.
const OutputFormat& FormatRow(int format);
// Extension of a format number, "" for a number outside 1 to 12.
const char* FormatExtension(int format);
// Save flag word of an option number, 0 for 0 and any number outside 1 to 29.
int SaveFlags(int option);
// Bilevel method row for a WBMP option (18 to 27); 0 for any other number.
int BilevelMethodForOption(int option);
