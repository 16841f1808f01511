// The format and option selectors and the Save as Default Option command.
#include "ui/format_selectors.h"

#include <windows.h>

#include <cstring>
#include <string>

#include "app/settings_file.h"
#include "engine/conversion_settings.h"
#include "engine/formats.h"
#include "lang/caption_numbers.h"
#include "lang/language_file.h"
#include "platform/message_box.h"
#include "platform/user_files.h"
#include "res/resource.h"
#include "ui/batch_run.h"
#include "ui/main_window.h"

char saveOptionNames[30][52];
int appliedFormat = 0;
char selectedFormatText[100];
char selectedOptionText[100];

namespace {

HWND Control(int id)
{
    return GetDlgItem(mainWindow, id);
}

void EnableControl(int id, bool enabled)
{
    EnableWindow(Control(id), enabled);
}

bool HasOptions(const OutputFormat& format)
{
    return format.firstOption != 0;
}

// The selected entry's text, cut to the buffer; empty when none is selected.
void ReadSelectedText(HWND selector, char* text, size_t size)
{
    text[0] = '\0';
    LRESULT position = SendMessageA(selector, CB_GETCURSEL, 0, 0);
    if (position == CB_ERR) return;
    LRESULT length = SendMessageA(selector, CB_GETLBTEXTLEN, position, 0);
    if (length == CB_ERR) return;
    std::string entry(length + 1, '\0');
    SendMessageA(selector, CB_GETLBTEXT, position, (LPARAM)&entry[0]);
    lstrcpynA(text, entry.c_str(), (int)size);
}

int RememberedOption(const OutputFormat& format)
{
    return format.defaultOption ? settings.*format.defaultOption : format.firstOption;
}

void FillOptionSelector(const OutputFormat& format)
{
    HWND selector = Control(IDC_OPTION);
    SendMessageA(selector, CB_RESETCONTENT, 0, 0);
    if (!HasOptions(format)) {
        settings.saveOption = 0;
        return;
    }
    for (int option = format.firstOption; option <= format.lastOption; ++option)
        SendMessageA(selector, CB_ADDSTRING, 0, (LPARAM)saveOptionNames[option]);
    // A remembered option outside the group (none stored yet) selects no
    // entry but is still the option used.
    int remembered = RememberedOption(format);
    bool inGroup = remembered >= format.firstOption && remembered <= format.lastOption;
    SendMessageA(selector, CB_SETCURSEL, inGroup ? remembered - format.firstOption : -1, 0);
    settings.saveOption = remembered;
}

} // namespace

bool FormatAllowsResize(int format)
{
    return format != FormatIco;
}

void EnableControlsForFormat()
{
    bool resizable = FormatAllowsResize(settings.outputFormat);
    bool resizeDetails = resizable && settings.resizeEnabled;
    EnableControl(IDC_RESIZE, resizable);
    EnableControl(IDC_WIDTH, resizeDetails);
    EnableControl(IDC_HEIGHT, resizeDetails);
    EnableControl(IDC_RESIZE_MODE, resizeDetails);
    EnableControl(IDC_OPTION, HasOptions(FormatRow(settings.outputFormat)));
}

void UpdateFormatSelectors()
{
    for (int format = 1; format <= formatCount; ++format) {
        const char* name = outputFormats[format].displayName;
        if (name && strcmp(selectedFormatText, name) == 0) settings.outputFormat = format;
    }
    if (appliedFormat == settings.outputFormat) return;
    appliedFormat = settings.outputFormat;
    if (settings.outputFormat < 1 || settings.outputFormat > formatCount) return;

    // A run keeps its controls disabled until it ends; it enables them then by
    // the same rules.
    if (!BatchRunActive()) EnableControlsForFormat();
    FillOptionSelector(outputFormats[settings.outputFormat]);
}

void SetUpFormatSelectors()
{
    HWND selector = Control(IDC_FORMAT);
    SendMessageA(selector, CB_RESETCONTENT, 0, 0);
    for (int format = 1; format <= formatCount; ++format)
        SendMessageA(selector, CB_ADDSTRING, 0, (LPARAM)outputFormats[format].displayName);

    // The list sorts itself, so JPG is found by its name, not its number.
    const char* jpgName = outputFormats[FormatJpg].displayName;
    LRESULT position = SendMessageA(selector, CB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)jpgName);
    SendMessageA(selector, CB_SETCURSEL, position, 0);
    ReadSelectedText(selector, selectedFormatText, sizeof selectedFormatText);
    settings.outputFormat = FormatJpg;
    appliedFormat = 0;
    UpdateFormatSelectors();
}

void FormatSelectionChanged()
{
    ReadSelectedText(Control(IDC_FORMAT), selectedFormatText, sizeof selectedFormatText);
    UpdateFormatSelectors();
}

// The entry's position in the current format's group names the option: two
// options may share a name (or, in a language without captions, all of them
// are empty), and a name match could then pick another format's option.
void OptionSelectionChanged()
{
    HWND selector = Control(IDC_OPTION);
    ReadSelectedText(selector, selectedOptionText, sizeof selectedOptionText);
    const OutputFormat& format = FormatRow(settings.outputFormat);
    LRESULT position = SendMessageA(selector, CB_GETCURSEL, 0, 0);
    if (!HasOptions(format) || position == CB_ERR) return;
    int option = format.firstOption + (int)position;
    if (option <= format.lastOption) settings.saveOption = option;
}

void SaveAsDefaultOption()
{
    if (ShowMessage(mainWindow, Caption(CaptionSaveDefaultQuestion), MB_YESNO | MB_ICONINFORMATION) != IDYES)
        return;
    const OutputFormat& format = FormatRow(settings.outputFormat);
    if (format.defaultOption) settings.*format.defaultOption = settings.saveOption;
    SaveSettings(UserFilePath("config.dat").c_str());
}
