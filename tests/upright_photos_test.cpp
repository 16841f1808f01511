// Photos as phones store them: JPEG files whose EXIF says how the stored
// pixels lie, made here with FreeImage, converted by workers, read back.
#include <string>
#include <vector>

#include "engine/convert_file.h"
#include "engine/worker_pool.h"
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
// first row and first column lie in the viewer's picture.
struct Lie { bool rowIsColumn, fromRight, fromBottom; };
const Lie lies[9] = {{}, {false, false, false},   // 1 row 0 at the top, column 0 at the left
                     {false, true, false},        // 2 top, right
                     {false, true, true},         // 3 bottom, right
                     {false, false, true},        // 4 bottom, left
                     {true, false, false},        // 5 left, top
                     {true, true, false},         // 6 right, top
                     {true, true, true},          // 7 right, bottom
                     {true, false, true}};        // 8 left, bottom


// A little-endian TIFF directory (tag, type, value) appended, longer values after it.
struct Field { unsigned tag, type; std::string value; };
size_t AddDirectory(std::string& tiff, const std::vector<Field>& fields)
{
    size_t at = tiff.size(), values = at + 6 + 12 * fields.size();
    std::string entries = Le(fields.size(), 2), after;
    for (const Field& f : fields) {
        entries += Le(f.tag, 2) + Le(f.type, 2) + Le(f.value.size() / (f.type == 3 ? 2 : f.type == 4 ? 4 : 1), 4);
        entries += f.value.size() > 4 ? Le(values + after.size(), 4) : f.value + std::string(4 - f.value.size(), '\0');
        if (f.value.size() > 4) after += f.value;
    }
    tiff += entries + Le(0, 4) + after;
    return at;
}

// A phone's EXIF block: camera, orientation, date taken, stored size, place,
// and a thumbnail in the second directory.
std::string ExifBlock(int orientation, unsigned storedWidth, unsigned storedHeight)
{
    FIMEMORY* memory = FreeImage_OpenMemory();
    FreeImage_SaveToMemory(FIF_JPEG, Bitmap(FreeImage_Allocate(8, 4, 24)).get(), memory, 0);
    BYTE* data = NULL;
    DWORD size = 0;
    FreeImage_AcquireMemory(memory, &data, &size);
    std::string tiff("II*\0\x08\0\0\0", 8), thumbnail((const char*)data, size);
    FreeImage_CloseMemory(memory);
    size_t first = AddDirectory(tiff, {{0x10F, 2, std::string("Phonecam", 9)}, {0x112, 3, Le(orientation, 2)},
                                       {0x8769, 4, Le(0, 4)}, {0x8825, 4, Le(0, 4)}});
    tiff.replace(first + 34, 4, Le(AddDirectory(tiff, {{0x9003, 2, std::string("2024:05:06 07:08:09", 20)},
                                                       {0xA002, 4, Le(storedWidth, 4)}, {0xA003, 4, Le(storedHeight, 4)}}), 4));
    tiff.replace(first + 46, 4, Le(AddDirectory(tiff, {{1, 2, std::string("N", 2)}}), 4));
    tiff.replace(first + 50, 4, Le(AddDirectory(tiff, {{0x103, 3, Le(6, 2)}, {0x201, 4, Le(tiff.size() + 42, 4)},
                                                       {0x202, 4, Le(size, 4)}}), 4));
    return std::string("Exif\0\0", 6) + tiff + thumbnail;
}

// A small RGB colour profile: the header, then one description tag.
std::string ColourProfile()
{
    std::string description = "desc" + Be(0) + Be(9) + std::string("Test RGB\0", 9) + std::string(83, '\0');
    return Be(128 + 12 + 4 + description.size()) + Be(0) + Be(0x02100000) + "mntrRGB XYZ " + std::string(12, '\0') +
           "acsp" + std::string(28, '\0') + Be(0xF6D6) + Be(0x10000) + Be(0xD32D) + std::string(48, '\0') + Be(1) +
           "desc" + Be(144) + Be(description.size()) + description;
}

const std::string xmp = "<x:xmpmeta xmlns:x='adobe:ns:meta/'><rdf:RDF xmlns:rdf='http://www.w3.org/1999/02/22-rdf-syntax-"
                        "ns#'><rdf:Description xmlns:dc='http://purl.org/dc/elements/1.1/' dc:creator='Anna'/></rdf:RDF>"
                        "</x:xmpmeta>";

void SetTag(FIBITMAP* bitmap, FREE_IMAGE_MDMODEL model, const char* key, FREE_IMAGE_MDTYPE type, const std::string& value)
{
    FITAG* tag = FreeImage_CreateTag();
    FreeImage_SetTagKey(tag, key);
    FreeImage_SetTagID(tag, model == FIMD_IPTC ? 0x0278 : 0);   // IPTC's caption
    FreeImage_SetTagType(tag, type);
    FreeImage_SetTagCount(tag, (DWORD)value.size());
    FreeImage_SetTagLength(tag, (DWORD)value.size());
    FreeImage_SetTagValue(tag, value.data());
    FreeImage_SetMetadata(model, bitmap, key, tag);
    FreeImage_DeleteTag(tag);
}

// The viewer's picture stored as `orientation` says, with an EXIF block (a
// phone's unless given), a colour profile, XMP and an IPTC caption.
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
    SetTag(photo.get(), FIMD_EXIF_RAW, "ExifRaw", FIDT_BYTE, exif.empty() ? ExifBlock(orientation, storedWidth, storedHeight) : exif);
    SetTag(photo.get(), FIMD_XMP, "XMLPacket", FIDT_ASCII, xmp + '\0');
    SetTag(photo.get(), FIMD_IPTC, "Caption-Abstract", FIDT_ASCII, std::string("Harbour", 8));
    std::string profile = ColourProfile();
    FreeImage_CreateICCProfile(photo.get(), &profile[0], (long)profile.size());
    ASSERT_TRUE(FreeImage_Save(FIF_JPEG, photo.get(), HostPath(path.c_str()).c_str(), JPEG_QUALITYSUPERB));
}

// The size, then the colour 3 pixels in from each corner, top left first.
std::string Corners(const Bitmap& picture)
{
    if (!picture) return "nothing";
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

std::string Profile(const Bitmap& bitmap)
{
    FIICCPROFILE* profile = FreeImage_GetICCProfile(bitmap.get());
    return std::string((const char*)profile->data, profile->data ? profile->size : 0);
}

class UprightPhotosTest : public ProcessStateTest {
protected:
    // Each source (in dir) to its format (1 JPG, 4 PNG, 8 TIF) with the switch
    // as given, in one run of workers; the outputs read back.
    struct File { const char* source; int format; bool upright; };
    std::vector<Bitmap> ConvertAll(const std::vector<File>& files, const ImageChange& change)
    {
        ConvertFiles(change, [&](unsigned index, FileStart& start) {
            if (index >= files.size()) return false;
            start.inputPath = dir / files[index].source;
            start.settings = settings;
            start.settings.outputFormat = files[index].format;
            start.settings.saveOption = files[index].format == 1 ? 3 : files[index].format == 8 ? 10 : 0;
            start.settings.turnUpright = files[index].upright;
            start.settings.useOutputDirectory = true;
            snprintf(start.settings.outputDirectory, sizeof start.settings.outputDirectory, "%u", index);
            return true;
        });
        std::vector<Bitmap> written;
        for (size_t i = 0; i < files.size(); i++) {
            std::string name = std::string(files[i].source).substr(0, std::string(files[i].source).find('.'));
            const char* extension = files[i].format == 1 ? ".jpg" : files[i].format == 4 ? ".png" : ".tif";
            written.push_back(ReadImage(dir / (std::to_string(i) + "\\" + name + extension)));
        }
        return written;
    }

    TempDir dir;
};

} // namespace

// Each orientation comes out as a viewer shows the photo, also before the
// user's turn and resize, which then mean what the user sees; with the switch
// off, the stored pixels come out as before.
TEST_F(UprightPhotosTest, EachOrientationComesOutAsViewersShowIt)
{
    const char* names[] = {"", "1.jpg", "2.jpg", "3.jpg", "4.jpg", "5.jpg", "6.jpg", "7.jpg", "8.jpg"};
    std::vector<File> plain = {{"6.jpg", 4, false}, {"5.jpg", 4, false}}, changed;
    for (int orientation = 1; orientation <= 8; orientation++) {
        WritePhoto(dir / names[orientation], orientation);
        plain.push_back({names[orientation], 4, true});
        changed.push_back({names[orientation], 1, true});
    }
    std::vector<Bitmap> upright = ConvertAll(plain, {}), turned = ConvertAll(changed, {true, Percentage, 50, 100, true, Right, 90});
    EXPECT_EQ(conversionLog, "");
    EXPECT_EQ(Corners(upright[0]), "40x80 green white red blue");
    EXPECT_EQ(Corners(upright[1]), "40x80 red blue green white");
    for (int orientation = 1; orientation <= 8; orientation++) {
        SCOPED_TRACE(orientation);
        EXPECT_EQ(Corners(upright[orientation + 1]), "80x40 red green blue white");
        EXPECT_EQ(Corners(turned[orientation - 1]), "20x80 blue red white green");
        EXPECT_EQ(Tag(turned[orientation - 1], FIMD_EXIF_MAIN, "Orientation"), "top, left side");
    }
}

// The description reaches JPG, TIF and PNG as FreeImage writes them, saying
// orientation 1 and without the thumbnail of the unturned pixels. Left out:
// the IPTC block FreeImage would cut short in TIF, and an RGB profile that
// libpng would refuse, with the file, in a grey PNG. A damaged EXIF block
// costs only the turn, with a note.
TEST_F(UprightPhotosTest, DescriptionIsKeptAndADamagedExifBlockIsNoted)
{
    WritePhoto(dir / "phone.jpg", 6);
    WritePhoto(dir / "damaged.jpg", 6, std::string("Exif\0\0II*\0\xF0\xFF\xFF\x0F", 14));
    WritePhoto(dir / "grey.jpg", 6, "", true);
    ASSERT_TRUE(FreeImage_GetThumbnail(ReadImage(dir / "phone.jpg").get()));
    std::vector<Bitmap> out = ConvertAll({{"phone.jpg", 1, true}, {"phone.jpg", 8, true}, {"phone.jpg", 4, true},
                                          {"phone.jpg", 1, false}, {"damaged.jpg", 4, true}, {"grey.jpg", 4, true}}, {});
    EXPECT_EQ(conversionLog,
              HostPath((dir / "damaged.jpg").c_str()) + "\r\n" + CaptionText(CaptionExifUnreadable) + "\r\n\r\n");
    EXPECT_EQ(convertedCount, 6u);

    const Bitmap& jpg = out[0];
    EXPECT_EQ(Tag(jpg, FIMD_EXIF_MAIN, "Make") + " " + Tag(jpg, FIMD_EXIF_EXIF, "DateTimeOriginal") + " " +
                  Tag(jpg, FIMD_EXIF_GPS, "GPSLatitudeRef") + " " + Tag(jpg, FIMD_IPTC, "Caption-Abstract") + " " +
                  Tag(jpg, FIMD_EXIF_EXIF, "PixelXDimension") + "x" + Tag(jpg, FIMD_EXIF_EXIF, "PixelYDimension") + " " +
                  Tag(jpg, FIMD_EXIF_MAIN, "Orientation"),
              "Phonecam 2024:05:06 07:08:09 N Harbour 80x40 top, left side");
    EXPECT_FALSE(FreeImage_GetThumbnail(jpg.get()));
    EXPECT_EQ(Profile(jpg) + Profile(out[1]), ColourProfile() + ColourProfile());
    EXPECT_EQ(Tag(jpg, FIMD_XMP, "XMLPacket") + Tag(out[1], FIMD_XMP, "XMLPacket") + Tag(out[2], FIMD_XMP, "XMLPacket"),
              xmp + xmp + xmp);
    EXPECT_EQ(FreeImage_GetMetadataCount(FIMD_IPTC, out[1].get()), 0u);
    // FreeImage reads no profile from PNG files: the chunk that holds it.
    EXPECT_NE(ReadFileBytes(dir / "2\\phone.png").find("iCCP"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(dir / "5\\grey.png").find("iCCP"), std::string::npos);

    // Switched off, or with a damaged EXIF block: the pixels as stored; the
    // description of the former as the phone wrote it.
    EXPECT_EQ(Corners(out[3]) + ", " + Corners(out[4]), "40x80 green white red blue, 40x80 green white red blue");
    EXPECT_EQ(Tag(out[3], FIMD_EXIF_MAIN, "Orientation"), "right side, top");
    EXPECT_TRUE(FreeImage_GetThumbnail(out[3].get()));
}
