// One input file from start to end: output name and directories, the
// pipeline, deletion of the source, counters and log.
#pragma once
#include <string>

#include "engine/conversion_settings.h"

class ImageConverter;

// Counters and log of the current run; the callers reset them.
extern unsigned convertedCount;
extern unsigned failedCount;
extern std::string conversionLog;   // per failure: report, then "\r\n\r\n"
// What the log window shows.
extern std::string logWindowText;

// Converts one file with the format, option, output directory and deletion
// switch of `with`; true when the output file was written. With deletion on,
// the source goes only when WhySourceMustStay finds no reason to keep it.
bool ConvertFile(const char* inputPath, const ConversionSettings& with, bool resize, int resizeUnit, int width,
                 int height, bool rotate, int rotateDirection, int degrees);

// Counts a file that failed before reaching the pipeline and logs its report
// (input path, "\r\nError: ", message).
void RecordFailure(const std::string& inputPath, const std::string& message);

// The output path for an input with the format and output directory of
// `with`: creates the directories on the way and picks the first name that
// does not exist yet. Empty when the input is too long.
std::string OutputPathFor(const char* inputPath, const ConversionSettings& with);

// Why the source of a successful Convert must not be deleted, in words for
// the log: it holds more pictures than the one converted, or the written file
// does not read back at the size it was written. Empty when it may go.
std::string WhySourceMustStay(const ImageConverter& converted);
