#include <set>
#include <string>
#include <vector>

#include "engine/formats.h"
#include "engine/freeimage.h"
#include "tests/gtest.h"

TEST(Formats, EveryExtensionNamesAFormatFreeImageWrites)
{
    for (int format = 1; format <= formatCount; format++) {
        std::string name = std::string("photo.") + FormatExtension(format);
        FREE_IMAGE_FORMAT derived = FreeImage_GetFIFFromFilename(name.c_str());
        EXPECT_NE(FIF_UNKNOWN, derived) << name;
        EXPECT_TRUE(FreeImage_FIFSupportsWriting(derived)) << name;
        EXPECT_NE(std::string(), FormatRow(format).displayName);
    }
    EXPECT_EQ(FIF_JPEG, FreeImage_GetFIFFromFilename((std::string("a.") + FormatExtension(FormatJpg)).c_str()));
    EXPECT_EQ(FIF_ICO, FreeImage_GetFIFFromFilename((std::string("a.") + FormatExtension(FormatIco)).c_str()));
}

TEST(Formats, NumbersOutsideTheTablesGiveTheEmptyRow)
{
    for (int format : {0, -1, formatCount + 1, 1000}) {
        EXPECT_STREQ("", FormatExtension(format));
        EXPECT_EQ(0, FormatRow(format).firstOption);
        EXPECT_EQ(nullptr, FormatRow(format).defaultOption);
    }
    for (int option : {0, -5, saveOptionCount + 1, 4096}) EXPECT_EQ(0, SaveFlags(option));
}

// Every option belongs to exactly one group; PBM, PGM and PPM share theirs,
// and each format with options remembers its choice in a field of its own.
TEST(Formats, OptionGroupsCoverEveryOptionOnce)
{
    std::set<int> covered;
    std::vector<int ConversionSettings::*> fields;
    for (int format = 1; format <= formatCount; format++) {
        const OutputFormat& row = FormatRow(format);
        if (row.firstOption == 0) {
            EXPECT_EQ(0, row.lastOption);
            EXPECT_EQ(nullptr, row.defaultOption) << row.displayName;
            continue;
        }
        EXPECT_LE(row.firstOption, row.lastOption);
        ASSERT_NE(nullptr, row.defaultOption) << row.displayName;
        for (int ConversionSettings::*field : fields) EXPECT_NE(field, row.defaultOption) << row.displayName;
        fields.push_back(row.defaultOption);
        if (format == FormatPgm || format == FormatPpm) {
            EXPECT_EQ(FormatRow(FormatPbm).firstOption, row.firstOption);
            continue;
        }
        for (int option = row.firstOption; option <= row.lastOption; option++)
            EXPECT_TRUE(covered.insert(option).second) << option;
    }
    EXPECT_EQ((size_t)saveOptionCount, covered.size());
    EXPECT_EQ(1, *covered.begin());
    EXPECT_EQ(saveOptionCount, *covered.rbegin());
}

TEST(Formats, OptionCaptionsAreTheOptionSectionsInListOrder)
{
    std::set<int> captions;
    for (int option = 1; option <= saveOptionCount; option++) {
        int caption = saveOptions[option].caption;
        EXPECT_TRUE((caption >= 27 && caption <= 31) || (caption >= 33 && caption <= 56)) << option;
        EXPECT_TRUE(captions.insert(caption).second) << option;
    }
    // Within a group the list order follows the caption order.
    for (int format = 1; format <= formatCount; format++) {
        const OutputFormat& row = FormatRow(format);
        for (int option = row.firstOption; option > 0 && option < row.lastOption; option++)
            EXPECT_EQ(saveOptions[option].caption + 1, saveOptions[option + 1].caption) << option;
    }
}

TEST(Formats, WbmpOptionsChooseDistinctBilevelMethods)
{
    const int expected[] = {0, 1, 2, 3, 4, 5, 6, 8, 9, 10};
    const OutputFormat& wbmp = FormatRow(FormatWbmp);
    ASSERT_EQ(10, wbmp.lastOption - wbmp.firstOption + 1);
    for (int option = wbmp.firstOption; option <= wbmp.lastOption; option++)
        EXPECT_EQ(expected[option - wbmp.firstOption], BilevelMethodForOption(option)) << option;
    for (int option : {0, 1, wbmp.firstOption - 1, wbmp.lastOption + 1, 100}) EXPECT_EQ(0, BilevelMethodForOption(option));
}
