// Puts the current language on the main window: captions, tooltips, selectors, header, menus.
#include "ui/main_window_captions.h"

#include <windows.h>
#include <commctrl.h>

#include <strings.h>

#include <cstring>

#include "app/settings_file.h"
#include "app/startup.h"
#include "engine/conversion_settings.h"
#include "lang/caption_numbers.h"
#include "lang/language_file.h"
#include "platform/user_files.h"
#include "res/resource.h"
#include "ui/batch_run.h"
#include "ui/file_list.h"
#include "ui/format_selectors.h"
#include "ui/main_window.h"
#include "ui/window_helpers.h"

namespace {

// Convert carries the run's state and is set by the run's own rules.
const ControlCaption controlCaptions[] = {
    {IDC_ADD_FILES, CaptionAddFilesButton},
    {IDC_REMOVE_FILES, CaptionRemoveFilesButton},
    {IDC_OUTPUT_GROUP, CaptionOutputGroup},
    {IDC_OPTIONS_GROUP, CaptionOptionsGroup},
    {IDC_RESIZE_GROUP, CaptionResizeGroup},
    {IDC_ROTATE_GROUP, CaptionRotateGroup},
    {IDC_RESIZE, CaptionResizeSwitch},
    {IDC_ROTATE, CaptionRotateSwitch},
};

// The file list's and Convert's tips are not here: they ask for their text
// as they show, since it changes with the row and with a run.
const ControlCaption tooltipCaptions[] = {
    {IDC_FORMAT, CaptionFormatSelectorTip}, {IDC_OPTION, CaptionOptionSelectorTip},
    {IDC_ADD_FILES, CaptionAddFilesTip},
    {IDC_REMOVE_FILES, CaptionRemoveFilesTip}, {IDC_PROGRESS, CaptionProgressTip},
    {IDC_RESIZE, CaptionResizeTip},         {IDC_WIDTH, CaptionWidthTip},
    {IDC_HEIGHT, CaptionHeightTip},         {IDC_RESIZE_MODE, CaptionResizeModeTip},
    {IDC_ROTATE, CaptionRotateTip},         {IDC_DEGREES, CaptionDegreesTip},
    {IDC_DIRECTION, CaptionDirectionTip},
};
const int tooltipCount = sizeof tooltipCaptions / sizeof tooltipCaptions[0];
HWND tooltips[tooltipCount];

// A selector's entries in list order: the name the settings file stores and
// the caption shown.
struct SelectorEntry {
    const char* name;
    int caption;
};
const SelectorEntry resizeModeEntries[] = {{"Percentage", CaptionPercentage}, {"Pixels", CaptionPixels}};
const SelectorEntry directionEntries[] = {{"Left", CaptionLeft}, {"Right", CaptionRight}};

const SelectorEntry* EntriesOf(int selector)
{
    return selector == IDC_RESIZE_MODE ? resizeModeEntries : selector == IDC_DIRECTION ? directionEntries : NULL;
}

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

void SetTooltipTexts()
{
    for (int i = 0; i < tooltipCount; ++i) {
        TTTOOLINFOA tool = {};
        tool.cbSize = TTTOOLINFOA_V1_SIZE;
        tool.hwnd = Control(tooltipCaptions[i].control);
        tool.hinst = programInstance;
        tool.lpszText = (LPSTR)Caption(tooltipCaptions[i].caption);
        SendMessageA(tooltips[i], TTM_UPDATETIPTEXTA, 0, (LPARAM)&tool);
    }
}

// Refills a two-entry selector in the current language, keeping the entry
// selected by its position.
void FillSelector(int id, const SelectorEntry* entries, LRESULT selected)
{
    SendMessageA(Control(id), CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < 2; ++i) SendMessageA(Control(id), CB_ADDSTRING, 0, (LPARAM)Caption(entries[i].caption));
    SendMessageA(Control(id), CB_SETCURSEL, selected, 0);
}

void RefillSelector(int id)
{
    FillSelector(id, EntriesOf(id), SendMessageA(Control(id), CB_GETCURSEL, 0, 0));
}

// The position of the entry whose name begins with the stored text, letter
// case ignored; -1 when none does.
int StoredEntry(const SelectorEntry* entries, const char* stored)
{
    for (int i = 0; i < 2; ++i)
        if (*stored && strncasecmp(entries[i].name, stored, strlen(stored)) == 0) return i;
    return -1;
}

} // namespace

void AddMainWindowTooltips()
{
    for (int i = 0; i < tooltipCount; ++i)
        tooltips[i] = CreateTooltip(Control(tooltipCaptions[i].control), Caption(tooltipCaptions[i].caption));
    CreateFileListTooltip();
    CreateTooltip(Control(IDC_CONVERT), LPSTR_TEXTCALLBACKA);
}

void ApplyMainWindowCaptions()
{
    SetControlCaptions(mainWindow, controlCaptions);
    HMENU menu = GetMenu(mainWindow);
    if (menu) SetMenuCaptions(menu);
    ShowConvertState();
    if (menu) DrawMenuBar(mainWindow);
    SetFileListHeader();
    SetTooltipTexts();
    RefillSelector(IDC_RESIZE_MODE);
    RefillSelector(IDC_DIRECTION);
    ApplyFormatCaptions();
}

void UpdateLanguageMenu()
{
    if (settings.language < 0 || settings.language >= languageCount) return;
    HMENU menu = mainWindow ? GetMenu(mainWindow) : NULL;
    if (!menu) return;
    for (int language = 0; language < languageCount; ++language) {
        UINT command = IDM_ENGLISH + language;
        if (!MenuHoldsCommand(menu, command)) continue;
        UINT check = language == settings.language ? MF_CHECKED : MF_UNCHECKED;
        ModifyMenuA(menu, command, MF_BYCOMMAND | MF_STRING | MF_ENABLED | check, command, languageNames[language]);
    }
    DrawMenuBar(mainWindow);
}

void SelectLanguage(int language)
{
    settings.language = language;
    ApplyMainWindowCaptions();
    UpdateLanguageMenu();
    SaveSettings(UserFilePath("config.dat").c_str());
}

std::string SelectedEntryName(int selector)
{
    const SelectorEntry* entries = EntriesOf(selector);
    LRESULT selected = mainWindow && entries ? SendMessageA(Control(selector), CB_GETCURSEL, 0, 0) : CB_ERR;
    return selected == 0 || selected == 1 ? entries[selected].name : "";
}

void SetUpResizeAndRotateSelectors()
{
    int mode = StoredEntry(resizeModeEntries, settings.resizeModeText);
    int direction = StoredEntry(directionEntries, settings.rotateDirectionText);
    FillSelector(IDC_RESIZE_MODE, resizeModeEntries, mode < 0 ? 0 : mode);
    FillSelector(IDC_DIRECTION, directionEntries, direction < 0 ? 0 : direction);
    // Only a name stored exactly chooses the unit and direction.
    if (ResizeModeOfText(settings.resizeModeText)) settings.resizeMode = ResizeModeOfText(settings.resizeModeText);
    if (DirectionOfText(settings.rotateDirectionText))
        settings.rotateDirection = DirectionOfText(settings.rotateDirectionText);
}

int ResizeModeOfText(const char* text)
{
    if (strcmp(text, resizeModeEntries[0].name) == 0) return Percentage;
    if (strcmp(text, resizeModeEntries[1].name) == 0) return Pixels;
    return 0;
}

int DirectionOfText(const char* text)
{
    if (strcmp(text, directionEntries[0].name) == 0) return Left;
    if (strcmp(text, directionEntries[1].name) == 0) return Right;
    return 0;
}
