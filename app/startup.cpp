#include "app/startup.h"

#include <commctrl.h>

#include "app/command_line.h"
#include "app/direct_mode.h"
#include "app/settings_file.h"
#include "engine/conversion_settings.h"
#include "engine/convert_file.h"
#include "lang/captions.h"
#include "lang/language_file.h"
#include "platform/user_files.h"
#include "ui/main_window.h"

HINSTANCE programInstance = NULL;
char moduleDirectory[500] = "";
bool advancedMode = false;
std::string savedCommandLine;

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
    LoadSettings(UserFilePath("config.dat").c_str());
    for (int language = 0; language < languageCount; ++language)
        LoadLanguageFile(language, FileBesideProgram(languageEntries[language].file).c_str());
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
