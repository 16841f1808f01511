// Photos as phones store them: JPEG files whose EXIF says how the stored
// pixels lie, made here with FreeImage, converted by workers, read back.
#include <string>
#include <vector>

#include "engine/convert_file.h"
#include "engine/formats.h"
#include "lang/caption_numbers.h"
#include "platform/host_file.h"
#include "tests/images.h"
#include "tests/test_support.h"

namespace {

// The picture a viewer shows: red and green above blue and white.
const unsigned width = 80, height = 40;
unsigned Seen(unsigned x, unsigned y)
{
    return y < height / 2 ? (x < width / 2 ? 0xFF0000 : 0x00FF00) : (x < width / 2 ? 0x0000FF : 0xFFFFFF);
}

// The EXIF definition of orientations 1 to 8: where the stored picture's
// first row and first column lie in the viewer's picture. 1: top, left;
// 2: top, right; 3: bottom, right; 4: bottom, left; 5: left, top; 6: right,
// top; 7: right, bottom; 8: left, bottom.
struct Lie { bool rowIsColumn, fromRight, fromBottom; };
const Lie lies[9] = {{}, {false, false, false}, {false, true, false}, {false, true, true}, {false, false, true},
                     {true, false, false}, {true, true, false}, {true, true, true}, {true, false, true}};

// A phone's EXIF block: orientation and stored size in the first directory
// (at 8) and the EXIF one (at 38), a thumbnail in the second directory (at
// 68), which ends at 110.
std::string ExifBlock(int orientation, unsigned storedWidth, unsigned storedHeight, const std::string& thumbnail)
{
    auto entry = [](unsigned tag, int type, size_t value) { return Le(tag, 2) + Le(type, 2) + Le(1, 4) + Le(value, 4); };
    return std::string("Exif\0\0II*\0\x08\0\0\0", 14) + Le(2, 2) + entry(0x112, 3, orientation) + entry(0x8769, 4, 38) +
           Le(68, 4) + Le(2, 2) + entry(0xA002, 4, storedWidth) + entry(0xA003, 4, storedHeight) + Le(0, 4) + Le(3, 2) +
           entry(0x103, 3, 6) + entry(0x201, 4, 110) + entry(0x202, 4, thumbnail.size()) + Le(0, 4) + thumbnail;
}

// The smallest RGB colour profile libpng takes: a header without tags.
std::string ColourProfile()
{
    return Be(132) + Be(0) + Be(0x02100000) + "mntrRGB XYZ " + std::string(12, '\0') + "acsp" + std::string(28, '\0') +
           Be(0xF6D6) + Be(0x10000) + Be(0xD32D) + std::string(48, '\0') + Be(0);
}

// The viewer's picture stored as `orientation` says, with an EXIF block (a
// phone's unless given), a colour profile and an IPTC caption.
void WritePhoto(const std::string& path, int orientation, std::string exif = "", bool grey = false)
{
    const Lie& lie = lies[orientation];
    unsigned storedWidth = lie.rowIsColumn ? height : width, storedHeight = lie.rowIsColumn ? width : height;
    Bitmap photo(FreeImage_Allocate(storedWidth, storedHeight, 24));
    for (unsigned y = 0; y < storedHeight; y++) {
        for (unsigned x = 0; x < storedWidth; x++) {
            unsigned seenX = lie.rowIsColumn ? y : x, seenY = lie.rowIsColumn ? x : y;
            unsigned colour = Seen(lie.fromRight ? width - 1 - seenX : seenX, lie.fromBottom ? height - 1 - seenY : seenY);
            RGBQUAD pixel = {(BYTE)colour, (BYTE)(colour >> 8), (BYTE)(colour >> 16), 0};
            FreeImage_SetPixelColor(photo.get(), x, storedHeight - 1 - y, &pixel);
        }
    }
    if (grey) photo.reset(FreeImage_ConvertToGreyscale(photo.get()));
    // The thumbnail written where the photo goes, to be saved over.
    if (exif.empty() && WritePatternImage(path, 8, 4, 24, FIF_JPEG))
        exif = ExifBlock(orientation, storedWidth, storedHeight, ReadFileBytes(path));
    FITAG* tag = FreeImage_CreateTag();
    FreeImage_SetTagKey(tag, "ExifRaw");
    FreeImage_SetTagType(tag, FIDT_BYTE);
    FreeImage_SetTagCount(tag, (DWORD)exif.size());
    FreeImage_SetTagLength(tag, (DWORD)exif.size());
    FreeImage_SetTagValue(tag, exif.data());
    FreeImage_SetMetadata(FIMD_EXIF_RAW, photo.get(), "ExifRaw", tag);
    FreeImage_DeleteTag(tag);
    FreeImage_SetMetadataKeyValue(FIMD_IPTC, photo.get(), "Caption-Abstract", "Harbour");
    std::string profile = ColourProfile();
    FreeImage_CreateICCProfile(photo.get(), &profile[0], (long)profile.size());
    ASSERT_TRUE(FreeImage_Save(FIF_JPEG, photo.get(), HostPath(path.c_str()).c_str(), JPEG_QUALITYSUPERB));
}

// The size, then the colour 3 pixels in from each corner, top left first;
// "0x0 black ..." when there is no picture.
std::string Corners(const Bitmap& picture)
{
    unsigned w = FreeImage_GetWidth(picture.get()), h = FreeImage_GetHeight(picture.get());
    std::string text = std::to_string(w) + "x" + std::to_string(h);
    const char* names[] = {"black", "blue", "green", "cyan", "red", "magenta", "yellow", "white"};
    for (unsigned corner = 0; corner < 4; corner++) {
        unsigned rgb = RgbAt(picture.get(), corner % 2 ? w - 4 : 3, corner / 2 ? h - 4 : 3);
        text += std::string(" ") + names[(rgb >> 21 & 4) | (rgb >> 14 & 2) | (rgb >> 7 & 1)];
    }
    return text;
}

std::string Tag(const Bitmap& bitmap, FREE_IMAGE_MDMODEL model, const char* key)
{
    FITAG* tag = NULL;
    return FreeImage_GetMetadata(model, bitmap.get(), key, &tag) ? FreeImage_TagToString(model, tag, NULL) : "";
}

class UprightPhotosTest : public ProcessStateTest {
protected:
    // The photo (in the test's directory) converted by a worker to the
    // format, with the switch as given; read back.
    Bitmap Converted(const std::string& photo, int format, bool upright)
    {
        settings.outputFormat = format;
        settings.turnUpright = upright;
        ConvertFile((directory / photo).c_str(), settings, ImageChange{});
        return ReadImage(directory / (photo + "." + knownFormats[format - 1].extension));
    }
};

} // namespace

// Each orientation comes out as a viewer shows the photo, the description
// saying orientation 1, the new size and no thumbnail of the unturned pixels;
// left out are the IPTC block FreeImage would cut short in TIF and an RGB
// profile that libpng would refuse, with the file, in a grey PNG. Switched
// off, or with a damaged EXIF block (which is noted), the pixels come out as
// stored.
TEST_F(UprightPhotosTest, EachOrientationComesOutAsViewersShowItWithItsDescription)
{
    WritePhoto(directory / "damaged", 6, std::string("Exif\0\0II*\0\xF0\xFF\xFF\x0F", 14));
    EXPECT_EQ(Corners(Converted("damaged", FormatPng, true)), "40x80 green white red blue");
    EXPECT_EQ(conversionLog,
              HostPath((directory / "damaged").c_str()) + "\r\n" + CaptionText(CaptionExifUnreadable) + "\r\n\r\n");
    for (int orientation = 1; orientation <= 8; orientation++) {
        std::string photo = "p" + std::to_string(orientation);
        WritePhoto(directory / photo, orientation);
        Bitmap upright = Converted(photo, FormatJpg, true);
        EXPECT_EQ(Corners(upright), "80x40 red green blue white") << orientation;
        EXPECT_EQ(Tag(upright, FIMD_EXIF_MAIN, "Orientation"), "top, left side") << orientation;
    }
    ASSERT_TRUE(FreeImage_GetThumbnail(ReadImage(directory / "p6").get()));
    Bitmap jpg = ReadImage(directory / "p6.jpg");
    EXPECT_EQ(Tag(jpg, FIMD_EXIF_EXIF, "PixelXDimension") + "x" + Tag(jpg, FIMD_EXIF_EXIF, "PixelYDimension"), "80x40");
    EXPECT_FALSE(FreeImage_GetThumbnail(jpg.get()));
    FIICCPROFILE* profile = FreeImage_GetICCProfile(jpg.get());
    EXPECT_EQ(std::string((const char*)profile->data, profile->data ? profile->size : 0), ColourProfile());
    EXPECT_EQ(FreeImage_GetMetadataCount(FIMD_IPTC, Converted("p6", FormatTif, true).get()), 0u);
    EXPECT_EQ(Corners(Converted("p6", FormatPng, false)), "40x80 green white red blue");
    WritePhoto(directory / "grey", 6, "", true);
    EXPECT_TRUE(Converted("grey", FormatPng, true));
}
