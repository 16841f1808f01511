#pragma once
#include <string>

// Direct mode: reads the switches of the argument text into the settings,
// converts the one input file or every file of the list file, and offers the
// log when any failed. Messages about the argument text end it early.
void RunDirectMode(const std::string& text);
