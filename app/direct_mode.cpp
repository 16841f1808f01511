// Direct mode: the switches into the settings, the inputs through the worker pool, the log offered at the end.
#include "app/direct_mode.h"

#include <windows.h>

#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/input_list.h"
#include "app/startup.h"
#include "app/usage.h"
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

// Value `index` of a switch as a number; a missing value keeps the field as
// it is.
void ReadNumber(const SwitchUse& use, size_t index, int& field)
{
    if (index < use.values.size()) field = LeadingInteger(use.values[index]);
}

bool WordIs(const SwitchUse& use, const char* word)
{
    return !use.values.empty() && lstrcmpiA(use.values[0].c_str(), word) == 0;
}

// Each returns false after showing the message of a missing or bad value.
bool ReadOutputFormat(const CommandLine& line)
{
    ReadNumber(line.output, 0, settings.outputFormat);
    if (settings.outputFormat == 0 || settings.outputFormat == -1) {
        ShowError(Caption(CaptionNoOutputFormat));
        return false;
    }
    if (settings.outputFormat < 1 || settings.outputFormat > formatCount) {
        ShowError(CaptionWith(CaptionOutputFormatRange, {std::to_string(formatCount), FormatList()}).c_str());
        return false;
    }
    return true;
}

// 0 stands for the format's default and is valid for every format. An option
// of another format's group is taken as 0, as scripts written when any value
// was passed on expect, and the user is told once.
bool ReadSaveOption(const CommandLine& line)
{
    const std::vector<std::string>& values = line.options.values;
    settings.saveOption = values.empty() || values[0].empty() ? -1 : LeadingInteger(values[0]);
    if (settings.saveOption == -1) {
        ShowError(Caption(CaptionNoSaveOption));
        return false;
    }
    const OutputFormat& format = FormatRow(settings.outputFormat);
    int option = settings.saveOption;
    if (option == 0 || (format.firstOption != 0 && option >= format.firstOption && option <= format.lastOption))
        return true;
    std::string name = FormatShortName(settings.outputFormat), given = std::to_string(option);
    std::string notice = format.firstOption == 0
                             ? CaptionWith(CaptionFormatHasNoOptions, {name, given})
                             : CaptionWith(CaptionOptionOfOtherFormat, {name, given, std::to_string(format.firstOption),
                                                                        std::to_string(format.lastOption)});
    WriteStandardError(notice.c_str());
    settings.saveOption = 0;
    return true;
}

bool ReadResize(const CommandLine& line)
{
    settings.resizeEnabled = false;
    settings.resizeWidth = settings.resizeHeight = -1;
    if (!line.resize.present) return true;

    settings.resizeEnabled = true;
    if (WordIs(line.resize, "percentage")) settings.resizeMode = Percentage;
    if (WordIs(line.resize, "pixels")) settings.resizeMode = Pixels;
    ReadNumber(line.resize, 1, settings.resizeWidth);
    ReadNumber(line.resize, 2, settings.resizeHeight);

    if (settings.resizeMode != Percentage && settings.resizeMode != Pixels) {
        ShowError(Caption(CaptionNoResizeType));
        return false;
    }
    if (settings.resizeWidth == -1 || settings.resizeHeight == -1) {
        ShowError(Caption(CaptionNoResizeSize));
        return false;
    }
    return true;
}

bool ReadRotate(const CommandLine& line)
{
    settings.rotateEnabled = false;
    settings.rotateDegrees = -1;
    if (!line.rotate.present) return true;

    settings.rotateEnabled = true;
    if (WordIs(line.rotate, "left")) settings.rotateDirection = Left;
    if (WordIs(line.rotate, "right")) settings.rotateDirection = Right;
    ReadNumber(line.rotate, 1, settings.rotateDegrees);

    if (settings.rotateDirection != Left && settings.rotateDirection != Right) {
        ShowError(Caption(CaptionNoRotateDirection));
        return false;
    }
    if (settings.rotateDegrees == -1) {
        ShowError(Caption(CaptionNoRotateDegrees));
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
    // The list and the settings are fixed: files may wait behind busy workers.
    ConvertFiles(
        change,
        [&](unsigned index, FileStart& file) {
            if (index >= inputs.size()) return false;
            file.inputPath = inputs[index].path;
            file.settings = settings;
            if (inputs[index].failure) file.failure = inputs[index].failure;
            return true;
        },
        nullptr, true);
}

// Without a display the question counts as No, and the log goes where the
// question went: to standard error.
// Notes on converted files (a source kept, damage read past) are offered too.
void OfferLog()
{
    if (failedCount < 1 && notedCount < 1) return;
    logWindowText += conversionLog;
    std::string question = failedCount ? Caption(CaptionShowLog)
                                       : Caption(CaptionAllConverted) + std::string("\n\n") +
                                             CaptionWith(CaptionNotedCount, {std::to_string(notedCount)});
    bool shown = false;
    if (ShowMessage(NULL, question.c_str(), MB_YESNO | MB_ICONINFORMATION, &shown) == IDYES)
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

int RunDirectMode(const CommandLine& line)
{
    if (!ReadOutputFormat(line) || !ReadSaveOption(line) || !ReadResize(line) || !ReadRotate(line))
        return ExitUsage;

    if (line.inputOne.present) {
        if (!line.inputOne.quoted) {
            ShowError(Caption(CaptionNoInputOnePath));
            return ExitUsage;
        }
        ConvertInputs({InputFromText(line.inputOne.path)});
        return EndRun(1);
    }

    if (line.inputMulti.present) {
        if (!line.inputMulti.quoted) {
            ShowError(Caption(CaptionNoInputMultiPath));
            return ExitUsage;
        }
        std::vector<InputEntry> inputs;
        TextFileResult list = ReadInputList(line.inputMulti.path, inputs);
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
