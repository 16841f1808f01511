// The format and option selectors and the Save as Default Option command.
#include "ui/format_selectors.h"

#include <windows.h>

#include <algorithm>
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

const char* FormatName(int format)
{
    return Caption(CaptionFormatNames + format);
}

void FillSaveOptionNames()
{
    for (int option = 1; option <= saveOptionCount; ++option) {
        // lstrcpynA cuts a long name and always ends it.
        lstrcpynA(saveOptionNames[option], Caption(saveOptions[option].caption), sizeof saveOptionNames[option]);
    }
}

// A list shows the whole of its longest entry even where the closed
// selector is narrower.
void FitDropDownWidth(HWND selector)
{
    HDC context = GetDC(selector);
    HFONT font = (HFONT)SendMessageA(selector, WM_GETFONT, 0, 0);
    HGDIOBJ previous = SelectObject(context, font);
    LRESULT count = SendMessageA(selector, CB_GETCOUNT, 0, 0);
    int widest = 0;
    for (LRESULT entry = 0; entry < count; ++entry) {
        std::string text(SendMessageA(selector, CB_GETLBTEXTLEN, entry, 0) + 1, '\0');
        SendMessageA(selector, CB_GETLBTEXT, entry, (LPARAM)&text[0]);
        SIZE size = {};
        GetTextExtentPoint32A(context, text.c_str(), (int)strlen(text.c_str()), &size);
        widest = std::max(widest, (int)size.cx);
    }
    SelectObject(context, previous);
    ReleaseDC(selector, context);
    RECT bounds;
    GetWindowRect(selector, &bounds);
    int padding = 2 * GetSystemMetrics(SM_CXEDGE) + GetSystemMetrics(SM_CXVSCROLL) + 8;
    SendMessageA(selector, CB_SETDROPPEDWIDTH, std::max(widest + padding, (int)(bounds.right - bounds.left)), 0);
}

// Fills the format selector with the current language's names and selects
// the current format.
void FillFormatSelector()
{
    HWND selector = Control(IDC_FORMAT);
    SendMessageA(selector, CB_RESETCONTENT, 0, 0);
    for (int format = 1; format <= formatCount; ++format)
        SendMessageA(selector, CB_ADDSTRING, 0, (LPARAM)FormatName(format));
    // The list sorts itself, so a format is found by its name, not its number.
    LRESULT position =
        SendMessageA(selector, CB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)FormatName(settings.outputFormat));
    SendMessageA(selector, CB_SETCURSEL, position, 0);
    ReadSelectedText(selector, selectedFormatText, sizeof selectedFormatText);
    FitDropDownWidth(selector);
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
    FitDropDownWidth(selector);
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
        if (strcmp(selectedFormatText, FormatName(format)) == 0) settings.outputFormat = format;
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
    settings.outputFormat = FormatJpg;
    FillSaveOptionNames();
    FillFormatSelector();
    appliedFormat = 0;
    UpdateFormatSelectors();
}

void ApplyFormatCaptions()
{
    FillSaveOptionNames();
    FillFormatSelector();
    // The option selector is rebuilt with the new names: its format counts
    // as not yet applied.
    appliedFormat = settings.outputFormat + 1;
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
