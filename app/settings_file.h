// config.dat: positional lines beside the program.
#pragma once

// Reads the file into `settings`; false (after a message) when it cannot be
// opened, leaving every field as it was.
bool LoadSettings(const char* path);

// Writes `settings`, taking the resize and rotate texts and numbers afresh
// from the main window's controls; false (after a message) when the file
// cannot be created.
bool SaveSettings(const char* path);
