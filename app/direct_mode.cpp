#include "app/direct_mode.h"

#include <windows.h>

#include <cstdio>
#include <vector>

#include "app/command_line.h"
#include "app/startup.h"
#include "engine/conversion_settings.h"
#include "engine/convert_file.h"
#include "engine/worker_pool.h"
#include "lang/caption_numbers.h"
#include "lang/language_file.h"
#include "platform/host_file.h"
#include "platform/message_box.h"
#include "ui/log_window.h"

namespace {

// The longest list line taken as a path; a longer one is reported, never cut,
// since a cut path could name another file.
const size_t longestListLine = 1998;

void ShowError(const char* text)
{
    ShowMessage(NULL, text, MB_OK | MB_ICONERROR);
}

// Reads the number values of a switch into the fields; a missing value keeps
// the field as it is.
void ReadNumber(const std::string& text, const char* name, int index, int& field)
{
    std::string value;
    if (SwitchValue(text, name, index, value)) field = LeadingInteger(value);
}

bool WordIs(const std::string& text, const char* name, const char* word)
{
    std::string value;
    return SwitchValue(text, name, 0, value) && lstrcmpiA(value.c_str(), word) == 0;
}

// Each returns false after showing the message of a missing or bad value.
bool ReadOutputFormat(const std::string& text)
{
    ReadNumber(text, "-output", 0, settings.outputFormat);
    if (settings.outputFormat == 0 || settings.outputFormat == -1) {
        ShowError(Caption(CaptionNoOutputFormat));
        return false;
    }
    return true;
}

bool ReadSaveOption(const std::string& text)
{
    std::string value;
    if (SwitchValue(text, "-options", 0, value) && !value.empty())
        settings.saveOption = LeadingInteger(value);
    else
        settings.saveOption = -1;
    if (settings.saveOption == -1) {
        ShowError(Caption(CaptionNoSaveOption));
        return false;
    }
    return true;
}

bool ReadResize(const std::string& text)
{
    settings.resizeEnabled = false;
    settings.resizeWidth = settings.resizeHeight = -1;
    if (!HasSwitch(text, "-resize")) return true;

    settings.resizeEnabled = true;
    if (WordIs(text, "-resize", "percentage")) settings.resizeMode = Percentage;
    if (WordIs(text, "-resize", "pixels")) settings.resizeMode = Pixels;
    ReadNumber(text, "-resize", 1, settings.resizeWidth);
    ReadNumber(text, "-resize", 2, settings.resizeHeight);

    if (settings.resizeMode != Percentage && settings.resizeMode != Pixels) {
        ShowError("Please provide the resize type you want to use. (-resize percentage/pixels)");
        return false;
    }
    if (settings.resizeWidth == -1 || settings.resizeHeight == -1) {
        ShowError("Please provide the resize width and height you want to use. (-resize percentage/pixels # #)");
        return false;
    }
    return true;
}

bool ReadRotate(const std::string& text)
{
    settings.rotateEnabled = false;
    settings.rotateDegrees = -1;
    if (!HasSwitch(text, "-rotate")) return true;

    settings.rotateEnabled = true;
    if (WordIs(text, "-rotate", "left")) settings.rotateDirection = Left;
    if (WordIs(text, "-rotate", "right")) settings.rotateDirection = Right;
    ReadNumber(text, "-rotate", 1, settings.rotateDegrees);

    if (settings.rotateDirection != Left && settings.rotateDirection != Right) {
        ShowError("Please provide the rotate type you want to use. (-rotate left/right)");
        return false;
    }
    if (settings.rotateDegrees == -1) {
        ShowError("Please provide the rotate degree you want to use. (-rotate left/right #)");
        return false;
    }
    return true;
}

// Converts the files in order, with the resize and rotate values of the
// command line; a file with a failure set fails with it, unconverted.
void ConvertInputs(const std::vector<FileStart>& inputs)
{
    ImageChange change = {settings.resizeEnabled, settings.resizeMode, settings.resizeWidth, settings.resizeHeight,
                          settings.rotateEnabled, settings.rotateDirection, settings.rotateDegrees};
    ConvertFiles(change, [&](unsigned index, FileStart& file) {
        if (index >= inputs.size()) return false;
        file = inputs[index];
        file.settings = settings;
        return true;
    });
}

// Every line of the list as one input, read before the first conversion.
std::vector<FileStart> ReadList(FILE* list)
{
    std::vector<FileStart> inputs;
    std::string line;
    while (ReadTextLine(list, line)) {
        if (line.empty()) continue;
        FileStart input;
        if (line.size() > longestListLine) {
            input.inputPath = line;
            input.failure = "The path in the list file is too long (1999 characters or more).";
        } else {
            input.inputPath = FullWindowsPath(line);
        }
        inputs.push_back(input);
    }
    return inputs;
}

void OfferLog()
{
    if (failedCount < 1) return;
    logWindowText += conversionLog;
    if (ShowMessage(NULL, Caption(CaptionShowLog), MB_YESNO | MB_ICONINFORMATION) == IDYES)
        ShowLogWindow();
}

} // namespace

void RunDirectMode(const std::string& text)
{
    if (!ReadOutputFormat(text) || !ReadSaveOption(text) || !ReadResize(text) || !ReadRotate(text))
        return;

    std::string path;
    if (HasSwitch(text, "-inputone")) {
        if (!QuotedPath(text, "-inputone", path)) {
            ShowError(Caption(CaptionNoInputOnePath));
            return;
        }
        FileStart input;
        input.inputPath = path;
        ConvertInputs({input});
        OfferLog();
        return;
    }

    if (HasSwitch(text, "-inputmulti")) {
        if (!QuotedPath(text, "-inputmulti", path)) {
            ShowError(Caption(CaptionNoInputMultiPath));
            return;
        }
        FILE* list = OpenHostFile(path.c_str(), "r");
        if (!list) {
            ShowError(Caption(CaptionListFileUnreadable));
            return;
        }
        std::vector<FileStart> inputs = ReadList(list);
        fclose(list);
        ConvertInputs(inputs);
        OfferLog();
        // The outside program always writes its list under this name.
        DeleteFileA(FileBesideProgram("brwk.dat").c_str());
        return;
    }

    ShowError(Caption(CaptionNoInput));
}
