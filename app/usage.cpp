// The --help and --version texts, built from the captions and the format table.
#include "app/usage.h"

#include <cstdio>
#include <string>
#include <vector>

#include "engine/formats.h"
#include "lang/caption_numbers.h"
#include "lang/language_file.h"

std::string FormatShortName(int format)
{
    return outputFormats[format].shortName;
}

std::string FormatList()
{
    std::string list;
    for (int format = 1; format <= formatCount; format++)
        list += (format > 1 ? ", " : "") + std::to_string(format) + " " + FormatShortName(format);
    return list;
}

namespace {

// "3-7 JPG, 1-2 BMP, 8-9 PBM/PGM/PPM, ...": neighbours sharing a range
// share its entry.
std::string OptionList()
{
    std::string list;
    int previousFirst = 0;
    for (int format = 1; format <= formatCount; format++) {
        const OutputFormat& row = outputFormats[format];
        if (row.firstOption == 0) continue;
        if (row.firstOption == previousFirst) {
            list += "/" + FormatShortName(format);
            continue;
        }
        list += (list.empty() ? "" : ", ") + std::to_string(row.firstOption) + "-" + std::to_string(row.lastOption) +
                " " + FormatShortName(format);
        previousFirst = row.firstOption;
    }
    return list;
}

// A terminal ends lines with LF alone.
void PrintLine(const std::string& text)
{
    for (size_t i = 0; i < text.size(); i++)
        if (text[i] != '\r') putchar(text[i]);
    putchar('\n');
}

} // namespace

void PrintUsage()
{
    std::vector<std::string> values = {FormatList(), OptionList()};
    for (int k = CaptionUsageFirst; k <= CaptionUsageLast; k++) PrintLine(CaptionWith(k, values));
    fflush(stdout);
}

void PrintVersion()
{
    PrintLine(CaptionWith(CaptionVersion, {PROGRAM_VERSION}));
    fflush(stdout);
}
