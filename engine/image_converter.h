// The one place where pixels are touched: probe, load, rotate, resize,
// bit-depth preparation for the output format, save. One instance for the
// whole process; one conversion at a time.
#pragma once
#include <string>

#include "engine/freeimage.h"

enum ConvertResult {
    Ok = 0,
    OpenFailed = 1,
    CannotWrite = 2,
    SaveFailed = 3,
    UnknownFormat = 4,
    Unreadable = 5,
    DepthFailed = 6,
    BilevelFailed = 7,
    PaletteFailed = 8,
};

// The steps of a conversion, in order, as a run names the one that was too
// slow or crashed.
enum ConversionStage { DecodingStage, TurningStage, ResizingStage, SavingStage, CheckingStage };

class ImageConverter {
public:
    ImageConverter();

    const char* inputPath = nullptr;   // borrowed from the caller for one job
    const char* outputPath = nullptr;  // borrowed from the job's path buffer
    FREE_IMAGE_FORMAT inputFormat = FIF_UNKNOWN;
    int bilevelMethod = 0;
    // Turn a picture upright as its EXIF orientation says, before anything else.
    bool turnUpright = true;
    std::string errorReport;           // FailureReport(inputPath, message)
    // What the last successful Convert wrote, for the read-back that proves it.
    FREE_IMAGE_FORMAT outputFormat = FIF_UNKNOWN;
    unsigned outputWidth = 0;
    unsigned outputHeight = 0;
    // A caption the log shows beside the last successful Convert; 0 for none.
    int note = 0;
    // What the decoder said while it read the last Convert's source: the
    // damage it met and read past. Empty when it said nothing.
    std::string damage;
    // Told as Convert begins turning, resizing and saving, with the pixels
    // the step works on (the larger of its input and output); may be null.
    void (*stageStarted)(ConversionStage stage, unsigned long long pixels) = nullptr;

    int ProbeInput();
    int Convert(int saveFlags, bool resize, int resizeUnit, int width, int height,
                bool rotate, int rotateDirection, int degrees);

    // Each takes the bitmap over and returns the one to continue with, or
    // null on failure; the argument is released unless it is returned.
    FIBITMAP* FitIcon(FIBITMAP* bitmap);
    FIBITMAP* ReduceToBilevel(FIBITMAP* bitmap);
    FIBITMAP* ReduceToPalette(FIBITMAP* bitmap, int quantizer);

    // errorReport = FailureReport(inputPath, message)
    void SetErrorReport(std::string message);
};

extern ImageConverter imageConverter;
// The last text FreeImage passed to the output-message callback, and how
// many it has passed in this process.
extern std::string freeImageMessage;
extern unsigned long long freeImageMessageCount;

// The size of a width x height picture turned by `degrees`: the box around
// it, which is larger than the picture for angles other than right angles.
void TurnedSize(unsigned long long width, unsigned long long height, int degrees, unsigned long long& turnedWidth,
                unsigned long long& turnedHeight);

// One failure as the log shows it: the path as the user knows it (the host's
// form), CR LF, the word for an error in the user's language, a blank, the
// message.
std::string FailureReport(const std::string& inputPath, const std::string& message);
