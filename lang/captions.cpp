// Pushes the captions of the current language onto the main window. Texts
// already on the screen change only here; everything else looks its caption
// up when it shows it.
#include "lang/captions.h"

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "app/settings_file.h"
#include "engine/conversion_settings.h"
#include "engine/formats.h"
#include "lang/caption_numbers.h"
#include "platform/user_files.h"
#include "res/resource.h"
#include "ui/batch_run.h"
#include "ui/file_list.h"
#include "ui/format_selectors.h"
#include "ui/main_window.h"

const LanguageEntry languageEntries[languageCount] = {
    {IDM_ENGLISH, "English", "english.ini"},
    {IDM_NORSK, "Norsk", "norsk.ini"},
    {IDM_DEUTSCH, "Deutsch", "deutsch.ini"},
};

namespace {

struct ControlCaption {
    int control;
    int caption;
};

// Convert carries the run's state and is set by the run's own rules.
const ControlCaption buttonCaptions[] = {
    {IDC_ADD_FILES, CaptionAddFilesButton},
    {IDC_REMOVE_FILES, CaptionRemoveFilesButton},
};

const ControlCaption labelCaptions[] = {
    {IDC_OUTPUT_GROUP, CaptionOutputGroup},
    {IDC_OPTIONS_GROUP, CaptionOptionsGroup},
    {IDC_RESIZE_GROUP, CaptionResizeGroup},
    {IDC_ROTATE_GROUP, CaptionRotateGroup},
    {IDC_RESIZE, CaptionResizeSwitch},
    {IDC_ROTATE, CaptionRotateSwitch},
};

// A menu-bar title is found by its position and keeps its drop-down menu;
// an item is found by its command.
struct MenuCaption {
    UINT entry;
    bool byPosition;
    int caption;
};

const MenuCaption menuCaptions[] = {
    {0, true, CaptionFileMenu},
    {1, true, CaptionOptionsMenu},
    {IDM_PREFERENCES, false, CaptionPreferencesItem},
    {IDM_SAVE_DEFAULT, false, CaptionSaveDefaultItem},
    {IDM_ADD_FILES, false, CaptionAddFilesItem},
    {IDM_REMOVE_FILES, false, CaptionRemoveFilesItem},
    {IDM_EXIT, false, CaptionExitItem},
    {2, true, CaptionHelpMenu},
    {IDM_CONTENTS, false, CaptionContentsItem},
    {IDM_MAIL, false, CaptionMailItem},
    {IDM_WEBSITE, false, CaptionWebsiteItem},
    {IDM_ABOUT, false, CaptionAboutItem},
};

bool MenuHoldsCommand(HMENU menu, UINT command)
{
    return GetMenuState(menu, command, MF_BYCOMMAND) != (UINT)-1;
}

void SetControlCaptions(const ControlCaption* captions, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        SetDlgItemTextA(mainWindow, captions[i].control, Caption(captions[i].caption));
    }
}

void SetMenuCaptions(HMENU menu)
{
    for (const MenuCaption& entry : menuCaptions) {
        const char* text = Caption(entry.caption);
        if (entry.byPosition) {
            HMENU dropDown = GetSubMenu(menu, entry.entry);
            if (dropDown) {
                ModifyMenuA(menu, entry.entry, MF_BYPOSITION | MF_POPUP | MF_STRING,
                            (UINT_PTR)dropDown, text);
            }
        } else if (MenuHoldsCommand(menu, entry.entry)) {
            ModifyMenuA(menu, entry.entry, MF_BYCOMMAND | MF_STRING, entry.entry, text);
        }
    }
}

void FillSaveOptionNames()
{
    for (int option = 1; option <= saveOptionCount; ++option) {
        // lstrcpynA cuts a long name and always ends it.
        lstrcpynA(saveOptionNames[option], Caption(saveOptions[option].caption),
                  sizeof saveOptionNames[option]);
    }
}

} // namespace

void ApplyCaptions()
{
    if (mainWindow) {
        SetControlCaptions(buttonCaptions, sizeof buttonCaptions / sizeof buttonCaptions[0]);
        HMENU menu = GetMenu(mainWindow);
        if (menu) SetMenuCaptions(menu);
        ShowConvertState();
        if (menu) DrawMenuBar(mainWindow);
        SetControlCaptions(labelCaptions, sizeof labelCaptions / sizeof labelCaptions[0]);
        SetFileListColumn(fileListColumnWidth);
    }
    FillSaveOptionNames();
    // One more than the current format, so that the selectors are rebuilt
    // with the new names.
    appliedFormat = settings.outputFormat + 1;
    UpdateFormatSelectors();
}

void UpdateLanguageMenu()
{
    if (settings.language < 0 || settings.language >= languageCount) return;
    HMENU menu = mainWindow ? GetMenu(mainWindow) : NULL;
    if (!menu) return;
    for (int language = 0; language < languageCount; ++language) {
        const LanguageEntry& entry = languageEntries[language];
        if (!MenuHoldsCommand(menu, entry.command)) continue;
        UINT check = language == settings.language ? MF_CHECKED : MF_UNCHECKED;
        ModifyMenuA(menu, entry.command, MF_BYCOMMAND | MF_STRING | MF_ENABLED | check,
                    entry.command, entry.name);
    }
    DrawMenuBar(mainWindow);
}

void SelectLanguage(int language)
{
    settings.language = language;
    ApplyCaptions();
    UpdateLanguageMenu();
    SaveSettings(UserFilePath("config.dat").c_str());
}
