// stub: filled by the settings work
#include "app/settings_file.h"
bool LoadSettings(const char*) { return false; }
bool SaveSettings(const char*) { return false; }
