// Direct mode, the run without a window that the file-manager actions and
// scripts start; called by start-up.
#pragma once

#include "app/command_line.h"

// Exit statuses of direct mode.
enum ExitStatus {
    ExitConverted = 0, // every file converted
    ExitFailures = 1,  // some file failed, or the list could not be read
    ExitUsage = 2,     // a switch is missing or has a bad value; nothing converted
    ExitInterrupted = 128, // plus the signal's number (130: Ctrl-C): the run was interrupted
};

// Direct mode: reads the switches of the command line into the settings,
// converts the one input file or every file of the list file, and offers the
// log when any failed. Messages about the argument text end it early.
// Returns the process's exit status.
int RunDirectMode(const CommandLine& line);
