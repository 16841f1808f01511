// Photos as cameras and phones store them: JPEG files whose EXIF says how the
// stored pixels lie, made here with FreeImage, converted by workers as a run
// does, and read back.
// libpng declares its functions with the Microsoft calling convention when
// it sees winegcc's Win32 macros; the host's libpng uses the System V one.
#pragma push_macro("_WIN32")
#pragma push_macro("__WIN32__")
#undef _WIN32
#undef __WIN32__
#include <png.h>
#pragma pop_macro("__WIN32__")
#pragma pop_macro("_WIN32")

#include <string>
#include <vector>

#include "engine/convert_file.h"
#include "engine/worker_pool.h"
#include "lang/caption_numbers.h"
#include "platform/host_file.h"
#include "tests/images.h"
#include "tests/test_support.h"

namespace {

const unsigned width = 80, height = 40;   // the picture as a viewer shows it
const unsigned red = 0xFF0000, green = 0x00FF00, blue = 0x0000FF, white = 0xFFFFFF;

// The viewer's picture: red, green above blue, white.
unsigned Seen(unsigned x, unsigned y)
{
    return y < height / 2 ? (x < width / 2 ? red : green) : (x < width / 2 ? blue : white);
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

std::string U16(unsigned v) { return {(char)v, (char)(v >> 8)}; }
std::string U32(unsigned v) { return U16(v) + U16(v >> 16); }

struct Field { unsigned tag, type, count; std::string value; };
Field Text(unsigned tag, const std::string& text) { return {tag, 2, (unsigned)text.size() + 1, text + '\0'}; }
Field Short(unsigned tag, unsigned value) { return {tag, 3, 1, U16(value)}; }
Field Long(unsigned tag, unsigned value) { return {tag, 4, 1, U32(value)}; }

// A little-endian TIFF directory appended to `tiff`, its longer values after it.
size_t AddDirectory(std::string& tiff, const std::vector<Field>& fields)
{
    size_t at = tiff.size(), values = at + 2 + 12 * fields.size() + 4;
    std::string entries = U16((unsigned)fields.size()), after;
    for (const Field& f : fields) {
        entries += U16(f.tag) + U16(f.type) + U32(f.count);
        entries += f.value.size() <= 4 ? f.value + std::string(4 - f.value.size(), '\0') : U32(values + after.size());
        if (f.value.size() > 4) after += f.value;
    }
    tiff += entries + U32(0) + after;
    return at;
}

void SetValue(std::string& tiff, size_t directory, unsigned index, unsigned value)
{
    tiff.replace(directory + 2 + 12 * index + 8, 4, U32(value));
}

std::string Thumbnail()
{
    Bitmap tiny(FreeImage_Allocate(8, 4, 24));
    FIMEMORY* memory = FreeImage_OpenMemory();
    FreeImage_SaveToMemory(FIF_JPEG, tiny.get(), memory, 0);
    BYTE* data = NULL;
    DWORD size = 0;
    FreeImage_AcquireMemory(memory, &data, &size);
    std::string bytes((const char*)data, size);
    FreeImage_CloseMemory(memory);
    return bytes;
}

// A phone's EXIF block: camera, orientation, date taken, stored size, place,
// and a thumbnail in the second directory.
std::string ExifBlock(int orientation, unsigned storedWidth, unsigned storedHeight)
{
    std::string tiff("II*\0\x08\0\0\0", 8);
    size_t first = AddDirectory(tiff, {Text(0x10F, "Phonecam"), Text(0x110, "P1"), Short(0x112, orientation),
                                       Long(0x8769, 0), Long(0x8825, 0)});
    SetValue(tiff, first, 3, AddDirectory(tiff, {Text(0x9003, "2024:05:06 07:08:09"), Long(0xA002, storedWidth),
                                                 Long(0xA003, storedHeight)}));
    SetValue(tiff, first, 4, AddDirectory(tiff, {Text(1, "N"), {2, 5, 3, U32(59) + U32(1) + U32(54) + U32(1) + U32(0) + U32(1)}}));
    std::string thumbnail = Thumbnail();
    size_t second = AddDirectory(tiff, {Short(0x103, 6), Long(0x201, 0), Long(0x202, (unsigned)thumbnail.size())});
    SetValue(tiff, second, 1, (unsigned)tiff.size());
    tiff += thumbnail;
    tiff.replace(first + 2 + 12 * 5, 4, U32((unsigned)second));
    return std::string("Exif\0\0", 6) + tiff;
}

std::string Big32(unsigned v) { return {(char)(v >> 24), (char)(v >> 16), (char)(v >> 8), (char)v}; }

// A small RGB colour profile, whole enough for libpng: the header, then one
// description tag.
std::string ColourProfile()
{
    std::string description = "desc" + Big32(0) + Big32(9) + std::string("Test RGB\0", 9) + std::string(4 + 4 + 2 + 1 + 67, '\0');
    description.resize((description.size() + 3) / 4 * 4, '\0');
    std::string header = Big32(128 + 4 + 12 + (unsigned)description.size()) + Big32(0) + Big32(0x02100000) +
                         "mntrRGB XYZ " + std::string(12, '\0') + "acsp" + std::string(28, '\0') + Big32(0xF6D6) +
                         Big32(0x10000) + Big32(0xD32D) + std::string(48, '\0');
    return header + Big32(1) + "desc" + Big32(144) + Big32((unsigned)description.size()) + description;
}

const std::string xmp = "<x:xmpmeta xmlns:x='adobe:ns:meta/'><rdf:RDF xmlns:rdf='http://www.w3.org/1999/02/22-rdf-"
                        "syntax-ns#'><rdf:Description xmlns:dc='http://purl.org/dc/elements/1.1/' dc:creator='Anna'/>"
                        "</rdf:RDF></x:xmpmeta>";

void SetTag(FIBITMAP* bitmap, FREE_IMAGE_MDMODEL model, const char* key, unsigned id, FREE_IMAGE_MDTYPE type,
            const std::string& value)
{
    FITAG* tag = FreeImage_CreateTag();
    FreeImage_SetTagKey(tag, key);
    FreeImage_SetTagID(tag, (WORD)id);
    FreeImage_SetTagType(tag, type);
    FreeImage_SetTagCount(tag, (DWORD)value.size());
    FreeImage_SetTagLength(tag, (DWORD)value.size());
    FreeImage_SetTagValue(tag, value.data());
    FreeImage_SetMetadata(model, bitmap, key, tag);
    FreeImage_DeleteTag(tag);
}

// The viewer's picture stored as `orientation` says, with the EXIF block
// given (a phone's by default), a colour profile, XMP and IPTC.
void WritePhoto(const std::string& path, int orientation, std::string exif = "")
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
    if (exif.empty()) exif = ExifBlock(orientation, storedWidth, storedHeight);
    SetTag(photo.get(), FIMD_EXIF_RAW, "ExifRaw", 0, FIDT_BYTE, exif);
    SetTag(photo.get(), FIMD_XMP, "XMLPacket", 0, FIDT_ASCII, xmp + '\0');
    SetTag(photo.get(), FIMD_IPTC, "Caption-Abstract", 0x0278, FIDT_ASCII, std::string("Harbour at dawn") + '\0');
    std::string profile = ColourProfile();
    FreeImage_CreateICCProfile(photo.get(), &profile[0], (long)profile.size());
    ASSERT_TRUE(FreeImage_Save(FIF_JPEG, photo.get(), HostPath(path.c_str()).c_str(), JPEG_QUALITYSUPERB));
}

// The colour of the picture's four corners (3 pixels in), each the nearest
// of the four quadrant colours, and its size: "80x40 red green blue white".
std::string Corners(FIBITMAP* picture)
{
    if (!picture) return "nothing";
    unsigned w = FreeImage_GetWidth(picture), h = FreeImage_GetHeight(picture);
    std::string text = std::to_string(w) + "x" + std::to_string(h);
    for (unsigned corner = 0; corner < 4; corner++) {
        unsigned rgb = RgbAt(picture, corner % 2 ? w - 4 : 3, corner / 2 ? h - 4 : 3);
        const char* names[] = {"red", "green", "blue", "white"};
        const unsigned colours[] = {red, green, blue, white};
        int nearest = 0, best = 1 << 30;
        for (int i = 0; i < 4; i++) {
            int distance = 0;
            for (int shift = 0; shift < 24; shift += 8)
                distance += abs((int)((rgb >> shift) & 255) - (int)((colours[i] >> shift) & 255));
            if (distance < best) best = distance, nearest = i;
        }
        text += std::string(" ") + names[nearest];
    }
    return text;
}

std::string Tag(FIBITMAP* bitmap, FREE_IMAGE_MDMODEL model, const char* key)
{
    FITAG* tag = NULL;
    return FreeImage_GetMetadata(model, bitmap, key, &tag) ? FreeImage_TagToString(model, tag, NULL) : "";
}

std::string Profile(FIBITMAP* bitmap)
{
    FIICCPROFILE* profile = FreeImage_GetICCProfile(bitmap);
    return std::string((const char*)profile->data, profile->data ? profile->size : 0);
}

// FreeImage does not read the profile of a PNG file; libpng does.
std::string PngProfile(const std::string& path)
{
    FILE* file = OpenHostFile(path.c_str(), "rb");
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, NULL, NULL, NULL);
    png_infop info = png_create_info_struct(png);
    std::string profile;
    if (file && !setjmp(png_jmpbuf(png))) {
        png_init_io(png, file);
        png_read_info(png, info);
        png_charp name;
        int compression;
        png_bytep data;
        png_uint_32 size;
        if (png_get_iCCP(png, info, &name, &compression, &data, &size)) profile.assign((const char*)data, size);
    }
    png_destroy_read_struct(&png, &info, NULL);
    if (file) fclose(file);
    return profile;
}

class UprightPhotosTest : public ProcessStateTest {
protected:
    // Each file with its format and switch, in one run of workers.
    struct File { std::string source; int format; bool upright; std::string written; };
    void ConvertAll(std::vector<File>& files, const ImageChange& change)
    {
        for (size_t i = 0; i < files.size(); i++) {
            std::string name = files[i].source.substr(0, files[i].source.find('.'));
            const char* extension = files[i].format == 1 ? ".jpg" : files[i].format == 4 ? ".png" : ".tif";
            files[i].written = dir / (std::to_string(i) + "\\" + name + extension);
        }
        ConvertFiles(change, [&](unsigned index, FileStart& start) {
            if (index >= files.size()) return false;
            start.inputPath = dir / files[index].source;
            start.settings = settings;
            start.settings.outputFormat = files[index].format;
            start.settings.saveOption = files[index].format == 1 ? 3 : files[index].format == 8 ? 10 : 0;
            start.settings.useOutputDirectory = true;
            snprintf(start.settings.outputDirectory, sizeof start.settings.outputDirectory, "%u", index);
            start.settings.turnUpright = files[index].upright;
            return true;
        });
    }
    Bitmap Load(const File& file) { return ReadImage(file.written); }

    TempDir dir;
};

} // namespace

// Each orientation comes out as a viewer shows the photo, also before the
// user's turn and resize, which then mean what the user sees; with the switch
// off, the stored pixels come out as before.
TEST_F(UprightPhotosTest, EachOrientationComesOutAsViewersShowIt)
{
    std::vector<File> plain, changed;
    for (int orientation = 1; orientation <= 8; orientation++) {
        std::string name = "o" + std::to_string(orientation) + ".jpg";
        WritePhoto(dir / name, orientation);
        plain.push_back({name, 4, true});
        changed.push_back({name, 1, true});
    }
    plain.push_back({"o6.jpg", 4, false});
    plain.push_back({"o5.jpg", 4, false});
    ConvertAll(plain, {false, 0, 0, 0, false, 0, 0});
    ConvertAll(changed, {true, Percentage, 50, 100, true, Right, 90});
    EXPECT_EQ(conversionLog, "");

    for (int orientation = 1; orientation <= 8; orientation++) {
        SCOPED_TRACE(orientation);
        EXPECT_EQ(Corners(Load(plain[orientation - 1]).get()), "80x40 red green blue white");
        Bitmap turned = Load(changed[orientation - 1]);
        EXPECT_EQ(Corners(turned.get()), "20x80 blue red white green");
        EXPECT_EQ(Tag(turned.get(), FIMD_EXIF_MAIN, "Orientation"), "top, left side");
    }
    EXPECT_EQ(Corners(Load(plain[8]).get()), "40x80 green white red blue");
    EXPECT_EQ(Corners(Load(plain[9]).get()), "40x80 red blue green white");
}

// EXIF, IPTC, XMP and the colour profile reach the formats that hold them as
// FreeImage writes them; the orientation says 1 and the thumbnail of the
// unturned pixels is gone. A damaged EXIF block costs only the turn, with a
// note in the log.
TEST_F(UprightPhotosTest, DescriptionIsKeptAndADamagedExifBlockIsNoted)
{
    WritePhoto(dir / "phone.jpg", 6);
    Bitmap source = ReadImage(dir / "phone.jpg");
    ASSERT_TRUE(FreeImage_GetThumbnail(source.get()));
    const std::string damaged = std::string("Exif\0\0II*\0\xF0\xFF\xFF\x0F", 14);
    WritePhoto(dir / "damaged.jpg", 6, damaged);
    std::vector<File> files = {{"phone.jpg", 1, true}, {"phone.jpg", 8, true}, {"phone.jpg", 4, true},
                               {"phone.jpg", 1, false}, {"damaged.jpg", 4, true}};
    ConvertAll(files, {false, 0, 0, 0, false, 0, 0});
    EXPECT_EQ(conversionLog, dir / "damaged.jpg" + "\r\n" + CaptionText(CaptionExifUnreadable) + "\r\n\r\n");
    EXPECT_EQ(convertedCount, 5u);

    Bitmap jpg = Load(files[0]);
    const std::string profile = ColourProfile();
    EXPECT_EQ(Tag(jpg.get(), FIMD_EXIF_MAIN, "Make") + " " + Tag(jpg.get(), FIMD_EXIF_MAIN, "Model") + " " +
                  Tag(jpg.get(), FIMD_EXIF_EXIF, "DateTimeOriginal") + " " + Tag(jpg.get(), FIMD_EXIF_GPS, "GPSLatitudeRef") +
                  " " + Tag(jpg.get(), FIMD_EXIF_GPS, "GPSLatitude") + " " + Tag(jpg.get(), FIMD_IPTC, "Caption-Abstract"),
              "Phonecam P1 2024:05:06 07:08:09 N 59:54:0.00 Harbour at dawn");
    EXPECT_EQ(Tag(jpg.get(), FIMD_EXIF_MAIN, "Orientation"), "top, left side");
    EXPECT_EQ(Tag(jpg.get(), FIMD_EXIF_EXIF, "PixelXDimension") + "x" + Tag(jpg.get(), FIMD_EXIF_EXIF, "PixelYDimension"),
              "80x40");
    EXPECT_FALSE(FreeImage_GetThumbnail(jpg.get()));
    EXPECT_EQ(Profile(jpg.get()), profile);
    EXPECT_EQ(Tag(jpg.get(), FIMD_XMP, "XMLPacket"), xmp);

    Bitmap tif = Load(files[1]), png = Load(files[2]);
    EXPECT_EQ(Profile(tif.get()), profile);
    EXPECT_EQ(PngProfile(files[2].written), profile);
    EXPECT_EQ(Tag(tif.get(), FIMD_XMP, "XMLPacket") + Tag(png.get(), FIMD_XMP, "XMLPacket"), xmp + xmp);

    // Switched off: the pixels as stored, the description as the phone wrote it.
    Bitmap stored = Load(files[3]);
    EXPECT_EQ(Corners(stored.get()), "40x80 green white red blue");
    EXPECT_EQ(Tag(stored.get(), FIMD_EXIF_MAIN, "Orientation"), "right side, top");
    EXPECT_TRUE(FreeImage_GetThumbnail(stored.get()));
    EXPECT_EQ(Corners(Load(files[4]).get()), "40x80 green white red blue");
}
