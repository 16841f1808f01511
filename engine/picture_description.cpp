// Upright turning by EXIF orientation and the description carried into the output.
#include "engine/picture_description.h"

#include <cstdint>
#include <cstring>
#include <string>

namespace {

// FreeImage's name for the EXIF block as the source stored it, which its
// JPEG writer writes back; its PNG and TIFF writers write no EXIF.
const char* const exifBlockKey = "ExifRaw";

enum ExifTag { OrientationTag = 0x0112, ExifDirectoryTag = 0x8769, PixelWidthTag = 0xA002, PixelHeightTag = 0xA003 };
enum ExifType { ShortType = 3, LongType = 4 };

// An EXIF block as FreeImage keeps it: "Exif\0\0" (or not), then a TIFF
// structure whose offsets count from its first byte. Nothing in it is
// trusted: every offset is checked against the block before it is used.
struct ExifBlock {
    std::string bytes;
    size_t start;   // of the TIFF structure
    bool bigEndian;
};

bool Fits(const ExifBlock& block, size_t offset, size_t size)
{
    size_t room = block.bytes.size() - block.start;
    return offset <= room && size <= room - offset;
}

unsigned Get(const ExifBlock& block, size_t offset, int size)
{
    unsigned value = 0;
    for (int i = 0; i < size; i++)
        value = value << 8 | (unsigned char)block.bytes[block.start + offset + (block.bigEndian ? i : size - 1 - i)];
    return value;
}

void Put(ExifBlock& block, size_t offset, int size, unsigned value)
{
    for (int i = 0; i < size; i++)
        block.bytes[block.start + offset + (block.bigEndian ? size - 1 - i : i)] = (char)(value >> (8 * i));
}

bool Open(ExifBlock& block, FITAG* tag)
{
    block.bytes.assign((const char*)FreeImage_GetTagValue(tag), FreeImage_GetTagLength(tag));
    block.start = block.bytes.compare(0, 6, std::string("Exif\0\0", 6)) == 0 ? 6 : 0;
    if (block.bytes.size() < block.start + 8) return false;
    std::string order = block.bytes.substr(block.start, 2);
    block.bigEndian = order == "MM";
    return (order == "MM" || order == "II") && Get(block, 2, 2) == 42;
}

// The directory at `offset` when all of it lies in the block, else 0.
size_t Directory(const ExifBlock& block, size_t offset)
{
    if (offset < 8 || !Fits(block, offset, 2)) return 0;
    return Fits(block, offset + 2, 12 * Get(block, offset, 2) + 4) ? offset : 0;
}

// The entry of `tag` in a directory; 0 when it has none.
size_t Entry(const ExifBlock& block, size_t directory, unsigned tag)
{
    for (unsigned i = 0, count = Get(block, directory, 2); i < count; i++)
        if (Get(block, directory + 2 + 12 * i, 2) == tag) return directory + 2 + 12 * i;
    return 0;
}

// A one-number entry set in place; false when the entry cannot hold it.
bool SetNumber(ExifBlock& block, size_t entry, unsigned value)
{
    unsigned type = Get(block, entry + 2, 2);
    if (Get(block, entry + 4, 4) != 1 || (type != ShortType && type != LongType) || (type == ShortType && value > 0xFFFF))
        return false;
    Put(block, entry + 8, type == ShortType ? 2 : 4, value);
    return true;
}

// Makes the block tell the truth about the output; false when it cannot, and
// must not be written: a block that still asked for a turn would have
// viewers turn the upright picture again.
bool Rewrite(ExifBlock& block, FIBITMAP* output, bool madeUpright, bool turned)
{
    size_t first = Directory(block, Get(block, 4, 4));
    if (!first) return !madeUpright && !turned;
    size_t orientation = Entry(block, first, OrientationTag);
    if (madeUpright && orientation && !SetNumber(block, orientation, 1)) return false;
    // The next directory holds the thumbnail; unlinked, it is gone.
    if (turned) Put(block, first + 2 + 12 * Get(block, first, 2), 4, 0);
    size_t link = Entry(block, first, ExifDirectoryTag);
    size_t exif = link ? Directory(block, Get(block, link + 8, 4)) : 0;
    size_t width = exif ? Entry(block, exif, PixelWidthTag) : 0, height = exif ? Entry(block, exif, PixelHeightTag) : 0;
    if (width) SetNumber(block, width, FreeImage_GetWidth(output));
    if (height) SetNumber(block, height, FreeImage_GetHeight(output));
    return true;
}

// A whole profile of the pixels' colour space: grey for grey pixels, RGB for
// colour and palettes. Profiles of other spaces (CMYK, Lab) describe pixels
// that FreeImage has already converted. libpng refuses a profile of the wrong
// space, and with it the whole file.
bool SuitsPixels(const FIICCPROFILE* profile, FIBITMAP* pixels)
{
    if (!profile->data || profile->size < 128) return false;
    const unsigned char* header = (const unsigned char*)profile->data;
    uint32_t declared = (uint32_t)header[0] << 24 | header[1] << 16 | header[2] << 8 | header[3];
    FREE_IMAGE_COLOR_TYPE colours = FreeImage_GetColorType(pixels);
    bool grey = colours == FIC_MINISBLACK || colours == FIC_MINISWHITE;
    return declared == profile->size && memcmp(header + 36, "acsp", 4) == 0 &&
           memcmp(header + 16, grey ? "GRAY" : "RGB ", 4) == 0;
}

} // namespace

Description KeptDescription(FIBITMAP* source)
{
    Description kept(FreeImage_Allocate(1, 1, 8));
    if (!kept) return kept;
    FreeImage_CloneMetadata(kept.get(), source);
    FIICCPROFILE* profile = FreeImage_GetICCProfile(source);
    if (profile->size) FreeImage_CreateICCProfile(kept.get(), profile->data, profile->size);
    return kept;
}

int ExifOrientation(FIBITMAP* picture)
{
    FITAG* tag = NULL;
    if (!FreeImage_GetMetadata(FIMD_EXIF_MAIN, picture, "Orientation", &tag)) {
        // A block that FreeImage found but could not read.
        bool unread = FreeImage_GetMetadataCount(FIMD_EXIF_RAW, picture) > 0 &&
                      FreeImage_GetMetadataCount(FIMD_EXIF_MAIN, picture) == 0;
        return unread ? 0 : 1;
    }
    uint32_t value = 0;
    if (FreeImage_GetTagCount(tag) == 1 && FreeImage_GetTagType(tag) == FIDT_SHORT)
        value = *(const uint16_t*)FreeImage_GetTagValue(tag);
    if (FreeImage_GetTagCount(tag) == 1 && FreeImage_GetTagType(tag) == FIDT_LONG)
        value = *(const uint32_t*)FreeImage_GetTagValue(tag);
    return value >= 1 && value <= 8 ? (int)value : 0;
}

void Describe(FIBITMAP* output, FREE_IMAGE_FORMAT format, FIBITMAP* description, bool madeUpright, bool turned)
{
    if (!description || (format != FIF_JPEG && format != FIF_TIFF && format != FIF_PNG)) return;
    for (int model = FIMD_COMMENTS; model <= FIMD_EXIF_RAW; model++)
        FreeImage_SetMetadata((FREE_IMAGE_MDMODEL)model, output, NULL, NULL);
    FreeImage_CloneMetadata(output, description);
    // FreeImage writes a quarter of the IPTC block into a TIFF file, cut off
    // in the middle of a field.
    if (format == FIF_TIFF) FreeImage_SetMetadata(FIMD_IPTC, output, NULL, NULL);

    FITAG* stored = NULL;
    if (FreeImage_GetMetadata(FIMD_EXIF_RAW, output, exifBlockKey, &stored)) {
        ExifBlock block;
        bool readable = Open(block, stored);
        if (readable ? Rewrite(block, output, madeUpright, turned) : !madeUpright && !turned)
            FreeImage_SetTagValue(stored, block.bytes.data());
        else
            FreeImage_SetMetadata(FIMD_EXIF_RAW, output, exifBlockKey, NULL);
    }

    FreeImage_DestroyICCProfile(output);
    FIICCPROFILE* profile = FreeImage_GetICCProfile(description);
    if (SuitsPixels(profile, output)) FreeImage_CreateICCProfile(output, profile->data, profile->size);
}
