#include "app/startup.h"

#include <commctrl.h>

#include <cstring>

#include "app/command_line.h"
#include "app/direct_mode.h"
#include "app/settings_file.h"
#include "engine/conversion_settings.h"
#include "engine/convert_file.h"
#include "lang/captions.h"
#include "lang/language_file.h"
#include "ui/main_window.h"

HINSTANCE programInstance = NULL;
char moduleDirectory[500] = "";
bool advancedMode = false;
std::string savedCommandLine;

std::string ProgramDirectory()
{
    char path[500] = "";
    GetModuleFileNameA(NULL, path, sizeof path);
    char* lastBackslash = strrchr(path, '\\');
    if (lastBackslash) *lastBackslash = '\0';
    return path;
}

std::string FileBesideProgram(const char* name)
{
    return std::string(moduleDirectory) + "\\" + name;
}

int RunProgram(const std::string& argumentText)
{
    conversionLog.clear();

    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);

    lstrcpynA(moduleDirectory, ProgramDirectory().c_str(), sizeof moduleDirectory);
    LoadSettings(FileBesideProgram("config.dat").c_str());
    LoadLanguageFile(0, FileBesideProgram("english.ini").c_str());
    ApplyCaptions();

    if (argumentText.empty()) {
        RunMainWindow();
        return 0;
    }

    settings.outputFormat = -1;
    settings.saveOption = -1;
    if (HasSwitch(argumentText, "-advanced")) {
        advancedMode = true;
        savedCommandLine = argumentText;
        RunMainWindow();
        return 0;
    }

    advancedMode = false;
    return RunDirectMode(argumentText);
}
