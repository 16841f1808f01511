// The answers to bramblewick --help and --version, printed on standard
// output in the user's language.
#pragma once
#include <string>

// The short name of a format ("JPG"), the same in every language.
std::string FormatShortName(int format);

// "1 JPG, 2 BMP, ...": every output format by its number.
std::string FormatList();

void PrintUsage();
void PrintVersion();
