// Start-up: settings and language files, then the run mode the command line asks for.
#include "app/startup.h"

#include "app/command_line.h"
#include "app/direct_mode.h"
#include "app/settings_file.h"
#include "app/usage.h"
#include "engine/conversion_settings.h"
#include "engine/convert_file.h"
#include "engine/worker_pool.h"
#include "lang/caption_numbers.h"
#include "lang/language_file.h"
#include "platform/host_file.h"
#include "platform/message_box.h"
#include "platform/user_files.h"
#include "ui/main_window.h"

HINSTANCE programInstance = NULL;
char moduleDirectory[500] = "";
bool advancedMode = false;
CommandLine savedCommandLine;

namespace {

bool NamesFile(const std::string& name)
{
    std::string path;
    return InputWindowsPath(name, path) && HostFileKindOf(path.c_str()) != NoHostFile;
}

// What is wrong with a word that has no place in the text, "" when
// nothing is: an unknown switch, or a name of no file (the launcher hands
// over a name it found no file for as such a word). A name of a file is
// passed over, as it always was.
std::string CommandLineFault(const CommandLine& line)
{
    if (line.convertTo) return Caption(CaptionConvertToUsage);
    for (const StrayWord& word : line.strays) {
        if (word.looksLikeSwitch) return CaptionWith(CaptionUnknownSwitch, {word.text});
        if (!NamesFile(word.text)) return CaptionWith(CaptionNoSuchFile, {word.text});
    }
    return "";
}

} // namespace

std::string FileBesideProgram(const char* name)
{
    return std::string(moduleDirectory) + "\\" + name;
}

int RunProgram(const std::string& argumentText)
{
    conversionLog.clear();
    CommandLine line = ReadCommandLine(argumentText);
    // Direct mode's first worker gets going while settings and texts load.
    if (line.output.present && !line.advanced && !line.help && !line.version) StartWorkerEarly();

    lstrcpynA(moduleDirectory, ProgramDirectory().c_str(), sizeof moduleDirectory);
    LoadSettings(UserFilePath("config.dat").c_str());
    for (int language = 0; language < languageCount; ++language)
        LoadLanguageFile(language, FileBesideProgram(languageFiles[language]).c_str());

    // A window that cannot open is a failure, as a file that cannot be
    // converted is.
    if (argumentText.empty()) return RunMainWindow() ? ExitConverted : ExitFailures;

    if (line.help) {
        PrintUsage();
        return 0;
    }
    if (line.version) {
        PrintVersion();
        return 0;
    }
    std::string fault = CommandLineFault(line);
    if (!fault.empty()) {
        ShowMessage(NULL, fault.c_str(), MB_OK | MB_ICONERROR);
        return ExitUsage;
    }

    settings.outputFormat = -1;
    settings.saveOption = -1;
    if (line.advanced) {
        advancedMode = true;
        savedCommandLine = line;
        return RunMainWindow() ? ExitConverted : ExitFailures;
    }

    advancedMode = false;
    return RunDirectMode(line);
}
