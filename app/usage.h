// The answers to bramblewick --help and --version, printed on standard
// output in the user's language.
#pragma once

void PrintUsage();
void PrintVersion();
