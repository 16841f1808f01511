#include <string>

#include "engine/formats.h"
#include "engine/freeimage.h"
#include "tests/gtest.h"

// The converter finds the output format by the file's extension alone.
TEST(Formats, EveryExtensionNamesAFormatFreeImageWrites)
{
    for (int format = 1; format <= formatCount; format++) {
        std::string name = std::string("photo.") + FormatExtension(format);
        EXPECT_TRUE(FreeImage_FIFSupportsWriting(FreeImage_GetFIFFromFilename(name.c_str()))) << name;
    }
}
