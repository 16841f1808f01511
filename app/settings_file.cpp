// config.dat: lines beside the program whose meaning is their position: the
// 19 of the first release, then the number of files converted at a time
// (0: one per processor) and whether photos are turned upright as their EXIF
// orientation says, which older files lack.
// Lines are read whole, so a long output directory cannot shift the lines
// after it; texts longer than their field are cut to it.
#include "app/settings_file.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/conversion_settings.h"
#include "lang/caption_numbers.h"
#include "lang/language_file.h"
#include "platform/host_file.h"
#include "platform/message_box.h"
#include "res/resource.h"
#include "ui/main_window.h"
#include "ui/main_window_captions.h"

namespace {

enum LineKind {
    NumberLine,     // unsigned decimal; read as a leading integer
    SwitchLine,     // 0 or 1; any number other than 0 reads as on
    TextLine,       // the text as it stands
    DirectoryLine,  // a text line that holds "-" while no output directory is used
};

struct SettingsLine {
    LineKind kind;
    int* number;
    bool* flag;
    char* text;
    size_t textSize;
    // The main-window control whose value is saved (a number also goes back
    // into its field); 0 when the field itself is saved.
    int control;
};

constexpr SettingsLine Number(int& field, int control = 0)
{
    return {NumberLine, &field, nullptr, nullptr, 0, control};
}
constexpr SettingsLine Switch(bool& field)
{
    return {SwitchLine, nullptr, &field, nullptr, 0, 0};
}
template <size_t size>
constexpr SettingsLine Text(char (&field)[size], int control, LineKind kind = TextLine)
{
    return {kind, nullptr, nullptr, field, size, control};
}

const SettingsLine settingsLines[] = {
    Number(settings.language),
    Number(settings.bmpDefaultOption),
    Number(settings.jpgDefaultOption),
    Number(settings.pbmDefaultOption),
    Number(settings.pgmDefaultOption),
    Number(settings.ppmDefaultOption),
    Number(settings.tifDefaultOption),
    Number(settings.wbmpDefaultOption),
    Number(settings.xpmDefaultOption),
    Switch(settings.useOutputDirectory),
    Text(settings.outputDirectory, 0, DirectoryLine),
    Switch(settings.deleteOriginal),
    Switch(settings.resizeEnabled),
    Text(settings.resizeModeText, IDC_RESIZE_MODE),
    Number(settings.resizeWidth, IDC_WIDTH),
    Number(settings.resizeHeight, IDC_HEIGHT),
    Switch(settings.rotateEnabled),
    Text(settings.rotateDirectionText, IDC_DIRECTION),
    Number(settings.rotateDegrees, IDC_DEGREES),
    Number(settings.workers),
    Switch(settings.turnUpright),
};

void ReadInto(const SettingsLine& line, const std::string& text)
{
    switch (line.kind) {
    case NumberLine: {
        // Numbers are stored unsigned: a negative one, or one beyond an int,
        // would be written back as another number.
        long long value = strtoll(text.c_str(), NULL, 10);
        *line.number = (int)std::min(std::max(value, 0LL), (long long)INT_MAX);
        break;
    }
    case SwitchLine:
        *line.flag = strtol(text.c_str(), NULL, 10) != 0;
        break;
    case TextLine:
    case DirectoryLine: {
        size_t length = std::min(text.size(), line.textSize - 1);
        memcpy(line.text, text.data(), length);
        line.text[length] = '\0';
        break;
    }
    }
}

// A number field of the main window; 0 (also for no window or no number)
// becomes 1, since a size or angle of 0 means nothing.
int WindowNumber(int control)
{
    UINT value = mainWindow ? GetDlgItemInt(mainWindow, control, NULL, FALSE) : 0;
    return value == 0 ? 1 : (int)value;
}

std::string TextToWrite(const SettingsLine& line)
{
    switch (line.kind) {
    case NumberLine:
        if (line.control) *line.number = WindowNumber(line.control);
        return std::to_string((unsigned)*line.number);
    case SwitchLine:
        return *line.flag ? "1" : "0";
    case TextLine:
        return line.control ? SelectedEntryName(line.control) : std::string(line.text);
    case DirectoryLine:
        return settings.useOutputDirectory ? std::string(line.text) : std::string("-");
    }
    return std::string();
}

} // namespace

bool LoadSettings(const char* path)
{
    FILE* file = OpenHostFile(path, "r");
    if (!file) {
        ShowMessage(dialogWindow, "Error opening config file.", MB_OK | MB_ICONERROR);
        return false;
    }
    // A short file leaves the fields of its missing lines as they were, but
    // for the switch that files before it lack: that one is on.
    settings.turnUpright = true;
    std::string text;
    for (const SettingsLine& line : settingsLines) {
        if (!ReadTextLine(file, text)) break;
        ReadInto(line, text);
    }
    fclose(file);

    if (settings.language < 0 || settings.language >= languageCount) settings.language = 0;
    return true;
}

bool SaveSettings(const char* path)
{
    FILE* file = OpenHostFile(path, "w");
    bool written = file != NULL;
    if (file) {
        // The file keeps Windows line ends whatever the host's text mode does.
        for (const SettingsLine& line : settingsLines) {
            fputs(TextToWrite(line).c_str(), file);
            fputs("\r\n", file);
        }
        written = !ferror(file);
        written = fclose(file) == 0 && written;
    }
    if (!written) ShowMessage(dialogWindow, Caption(CaptionSettingsUnwritable), MB_OK | MB_ICONERROR);
    return written;
}
