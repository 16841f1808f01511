#include "engine/convert_file.h"

#include <windows.h>

#include <cstring>

#include "engine/conversion_settings.h"
#include "engine/formats.h"
#include "engine/image_converter.h"
#include "engine/image_file.h"
#include "platform/host_file.h"
#include "platform/message_box.h"

unsigned convertedCount = 0;
unsigned failedCount = 0;
std::string conversionLog;
std::string logWindowText;

namespace {

// Input paths live in buffers of this size, terminating NUL included; a
// longer path would be cut and name another file.
const size_t inputPathLimit = 2000;

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

// Position just after the last separator of a path (0 when it has none).
size_t FileNameStart(const std::string& path)
{
    size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? 0 : separator + 1;
}

// Creates every level of a directory, outermost first, ignoring failures
// (levels that exist, the drive root). Returns the directory rebuilt with one
// '\' after each component, so that a file name can be appended.
std::string CreateDirectories(const std::string& directory)
{
    std::string created;
    // A rooted or UNC path keeps its leading separators, else it would turn
    // into a path below the current directory.
    for (size_t i = 0; i < 2 && i < directory.size() && IsSeparator(directory[i]); i++) created += '\\';

    size_t position = 0;
    while (position < directory.size()) {
        size_t end = position;
        while (end < directory.size() && !IsSeparator(directory[end])) end++;
        if (end > position) {
            created.append(directory, position, end - position);
            created += '\\';
            CreateDirectoryA(created.c_str(), NULL);
        }
        position = end + 1;
    }
    return created;
}

// Anything that exists counts, even a file nobody may read or a directory:
// an existing name is never written over.
bool NameTaken(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void LogFailure(const std::string& report)
{
    conversionLog += report + "\r\n\r\n";
    failedCount++;
}

void ShowDeletionFailure(const char* inputPath)
{
    std::string text = std::string("You have \"Delete original image\" enabled, but I could not delete this file:\n\n") +
                       inputPath + "\n\nAre you sure its not in use or write-protected?";
    // Owned by the window at the root of the current dialog's owner chain (the
    // main window during a batch run), which outlives a Preferences dialog
    // closed while the box is up.
    HWND owner = dialogWindow ? GetAncestor(dialogWindow, GA_ROOTOWNER) : NULL;
    ShowMessage(owner, text.c_str(), MB_OK | MB_ICONERROR);
}

} // namespace

std::string OutputPathFor(const char* inputPath, const ConversionSettings& with)
{
    if (!inputPath || strlen(inputPath) >= inputPathLimit) return std::string();
    std::string input = inputPath;
    size_t nameStart = FileNameStart(input);

    std::string base = input;
    if (with.useOutputDirectory) {
        std::string directory(with.outputDirectory, strnlen(with.outputDirectory, sizeof with.outputDirectory));
        // Only "X:\..." is a directory of its own; anything else, "X:/..."
        // included, names a subdirectory beside the source.
        bool driveAbsolute = directory.size() >= 3 && directory[1] == ':' && directory[2] == '\\';
        std::string target = driveAbsolute ? directory : input.substr(0, nameStart) + directory;
        base = CreateDirectories(target) + input.substr(nameStart);
    }

    // The extension is replaced within the file name only; a name without
    // one gets it appended.
    size_t dot = base.find_last_of('.');
    std::string stem = (dot != std::string::npos && dot >= FileNameStart(base)) ? base.substr(0, dot) : base;
    std::string extension = FormatExtension(with.outputFormat);

    std::string candidate = stem + "." + extension;
    for (unsigned n = 1; NameTaken(candidate); n++) candidate = stem + "_" + std::to_string(n) + "." + extension;
    return candidate;
}

bool ConvertFile(const char* inputPath, const ConversionSettings& with, bool resize, int resizeUnit, int width,
                 int height, bool rotate, int rotateDirection, int degrees)
{
    if (strlen(inputPath) >= inputPathLimit) {
        RecordFailure(inputPath, "The file path is too long (2000 characters or more).");
        return false;
    }
    if (!WindowsKeepsNames(inputPath)) {
        RecordFailure(inputPath, inexactNameMessage);
        return false;
    }

    // Directories are created before the probe, so they exist even when the
    // file then fails.
    std::string outputPath = OutputPathFor(inputPath, with);

    imageConverter.inputPath = inputPath;
    int result = imageConverter.ProbeInput();
    std::string keptBecause;
    if (result == Ok) {
        imageConverter.outputPath = outputPath.c_str();
        if (with.outputFormat == FormatWbmp)
            imageConverter.bilevelMethod = BilevelMethodForOption(with.saveOption);
        result = imageConverter.Convert(SaveFlags(with.saveOption), resize, resizeUnit, width, height,
                                        rotate, rotateDirection, degrees);
        if (result == Ok && with.deleteOriginal) keptBecause = WhySourceMustStay(imageConverter);
    } else {
        imageConverter.SetErrorReport(result == UnknownFormat ? "Unknown image format"
                                                              : "This image format cannot be read");
    }
    // Both paths were lent for this file only.
    imageConverter.inputPath = nullptr;
    imageConverter.outputPath = nullptr;

    if (result != Ok) {
        LogFailure(imageConverter.errorReport);
        return false;
    }
    // The file was written, but the user asked for the original to go and
    // it stays: that is logged as a failure, so that the user is told why.
    if (!keptBecause.empty()) {
        RecordFailure(inputPath, keptBecause);
        return true;
    }
    convertedCount++;
    if (with.deleteOriginal && !DeleteFileA(inputPath)) ShowDeletionFailure(inputPath);
    return true;
}

std::string WhySourceMustStay(const ImageConverter& converted)
{
    const std::string kept = "; the original was kept.";
    int pages = PageCount(converted.inputPath, converted.inputFormat);
    if (pages == 0) return "Could not count the pictures in the file" + kept;
    if (pages > 1) return "Only the first of its " + std::to_string(pages) + " pictures was converted" + kept;
    std::string why;
    if (!ReadsBack(converted.outputPath, converted.outputFormat, converted.outputWidth, converted.outputHeight, why))
        return std::string("The converted file ") + converted.outputPath + " does not read back (" + why + ")" + kept;
    return std::string();
}

void RecordFailure(const std::string& inputPath, const std::string& message)
{
    LogFailure(FailureReport(inputPath, message));
}
