// stub: filled by the engine work
#include "engine/convert_file.h"
unsigned convertedCount = 0;
unsigned failedCount = 0;
std::string conversionLog;
std::string logWindowText;
bool ConvertFile(const char*, bool, int, int, int, bool, int, int) { failedCount++; return false; }
void RecordFailure(const std::string&, const std::string&) { failedCount++; }
std::string OutputPathFor(const char*) { return std::string(); }
