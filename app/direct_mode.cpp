#include "app/direct_mode.h"

#include <windows.h>

#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/input_list.h"
#include "app/startup.h"
#include "engine/conversion_settings.h"
#include "engine/convert_file.h"
#include "engine/formats.h"
#include "engine/worker_pool.h"
#include "lang/caption_numbers.h"
#include "lang/language_file.h"
#include "platform/host_file.h"
#include "platform/interrupt.h"
#include "platform/message_box.h"
#include "platform/user_files.h"
#include "ui/log_window.h"

namespace {

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

// The short name of a format ("JPG"), the start of its display name.
std::string ShortName(const OutputFormat& format)
{
    std::string name = format.displayName;
    return name.substr(0, name.find(' '));
}

// Each returns false after showing the message of a missing or bad value.
bool ReadOutputFormat(const std::string& text)
{
    ReadNumber(text, "-output", 0, settings.outputFormat);
    if (settings.outputFormat == 0 || settings.outputFormat == -1) {
        ShowError(Caption(CaptionNoOutputFormat));
        return false;
    }
    if (settings.outputFormat < 1 || settings.outputFormat > formatCount) {
        std::string message = "Please provide an output format from 1 to " + std::to_string(formatCount) + ":";
        for (int format = 1; format <= formatCount; format++)
            message += (format > 1 ? ", " : " ") + std::to_string(format) + " " + ShortName(outputFormats[format]);
        ShowError((message + ". (-output #)").c_str());
        return false;
    }
    return true;
}

// 0 stands for the format's default and is valid for every format.
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
    const OutputFormat& format = FormatRow(settings.outputFormat);
    int option = settings.saveOption;
    if (option == 0 || (format.firstOption != 0 && option >= format.firstOption && option <= format.lastOption))
        return true;
    std::string name = ShortName(format);
    std::string message =
        format.firstOption == 0
            ? name + " has no save options: please provide 0. (-options 0)"
            : "Please provide a save option from " + std::to_string(format.firstOption) + " to " +
                  std::to_string(format.lastOption) + " for " + name + ", or 0 for its default. (-options #)";
    ShowError(message.c_str());
    return false;
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

// Converts the inputs in their order, several at a time, with the resize and
// rotate values of the command line; an input with a failure fails with it.
void ConvertInputs(const std::vector<InputEntry>& inputs)
{
    ImageChange change = {settings.resizeEnabled, settings.resizeMode, settings.resizeWidth, settings.resizeHeight,
                          settings.rotateEnabled, settings.rotateDirection, settings.rotateDegrees};
    WatchInterrupts();
    ConvertFiles(change, [&](unsigned index, FileStart& file) {
        if (index >= inputs.size()) return false;
        file.inputPath = inputs[index].path;
        file.settings = settings;
        if (inputs[index].failure) file.failure = inputs[index].failure;
        return true;
    });
}

// Without a display the question counts as No, and the log goes where the
// question went: to standard error.
void OfferLog()
{
    if (failedCount < 1) return;
    logWindowText += conversionLog;
    bool shown = false;
    if (ShowMessage(NULL, Caption(CaptionShowLog), MB_YESNO | MB_ICONINFORMATION, &shown) == IDYES)
        ShowLogWindow();
    else if (!shown)
        ShowMessage(NULL, conversionLog.c_str(), MB_OK | MB_ICONINFORMATION);
}

// Offers the log of a run that got as far as converting and gives its exit
// status. An interrupted run asks nothing: whoever interrupted it reads what
// became of its files on standard error.
int EndRun(size_t inputCount)
{
    int signal = InterruptSignal();
    if (!signal) {
        OfferLog();
        return failedCount > 0 ? ExitFailures : ExitConverted;
    }
    size_t notStarted = inputCount - convertedCount - failedCount;
    std::string counts = CaptionWith(CaptionInterrupted, {std::to_string(convertedCount), std::to_string(failedCount),
                                                          std::to_string(notStarted)});
    WriteStandardError((conversionLog + counts).c_str());
    return ExitInterrupted + signal;
}

} // namespace

int RunDirectMode(const std::string& text)
{
    if (!ReadOutputFormat(text) || !ReadSaveOption(text) || !ReadResize(text) || !ReadRotate(text))
        return ExitUsage;

    std::string path;
    if (HasSwitch(text, "-inputone")) {
        if (!QuotedPath(text, "-inputone", path)) {
            ShowError(Caption(CaptionNoInputOnePath));
            return ExitUsage;
        }
        ConvertInputs({InputFromText(path)});
        return EndRun(1);
    }

    if (HasSwitch(text, "-inputmulti")) {
        if (!QuotedPath(text, "-inputmulti", path)) {
            ShowError(Caption(CaptionNoInputMultiPath));
            return ExitUsage;
        }
        std::vector<InputEntry> inputs;
        TextFileResult list = ReadInputList(path, inputs);
        if (list != TextFileRead) {
            ShowError(Caption(list == TextFileTooLarge ? CaptionListTooLarge : CaptionListFileUnreadable));
            return ExitFailures;
        }
        ConvertInputs(inputs);
        int status = EndRun(inputs.size());
        // The outside program always writes its list under this name.
        DeleteFileA(UserFilePath("brwk.dat").c_str());
        return status;
    }

    ShowError(Caption(CaptionNoInput));
    return ExitUsage;
}
