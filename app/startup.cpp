// stub
#include "app/startup.h"
HINSTANCE programInstance = NULL;
char moduleDirectory[500];
bool advancedMode = false;
std::string savedCommandLine;
std::string ProgramDirectory() { return std::string(); }
std::string FileBesideProgram(const char* name) { return std::string(moduleDirectory) + "\\" + name; }
void RunProgram(const std::string&) {}
