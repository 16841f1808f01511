// State kept by start-up for the rest of the process.
#pragma once
#include <windows.h>
#include <string>

#include "app/command_line.h"

extern HINSTANCE programInstance;
extern char moduleDirectory[500];    // the program's directory, no trailing backslash
extern bool advancedMode;
extern CommandLine savedCommandLine; // what the argument text asks for, in advanced mode

// moduleDirectory + "\" + name, the path of a file beside the program.
std::string FileBesideProgram(const char* name);

// Runs the program for an argument text: start-up, then the run mode.
// Returns the exit status when the mode is done (direct mode's, else 0).
int RunProgram(const std::string& argumentText);
