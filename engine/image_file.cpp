// Whole-file saves, read-backs and page counts; see image_file.h.
#include "engine/image_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <set>

#include "engine/image_converter.h"
#include "platform/host_file.h"

namespace {

// A file being written through FreeImage's I/O functions. Some of FreeImage's
// writers ignore a failed write and report success, so every write and seek
// that did not go through is remembered here.
struct CheckedFile {
    FILE* file;
    int error;   // errno of the first failure; 0 while everything went through
};

void Remember(CheckedFile& out)
{
    if (!out.error) out.error = errno ? errno : EIO;
}

unsigned ReadBytes(void* buffer, unsigned size, unsigned count, fi_handle handle)
{
    return (unsigned)fread(buffer, size, count, ((CheckedFile*)handle)->file);
}

unsigned WriteBytes(void* buffer, unsigned size, unsigned count, fi_handle handle)
{
    CheckedFile& out = *(CheckedFile*)handle;
    errno = 0;
    size_t written = fwrite(buffer, size, count, out.file);
    if (written != count) Remember(out);
    return (unsigned)written;
}

int SeekBytes(fi_handle handle, long offset, int origin)
{
    CheckedFile& out = *(CheckedFile*)handle;
    errno = 0;
    int result = fseek(out.file, offset, origin);
    if (result != 0) Remember(out);
    return result;
}

long TellBytes(fi_handle handle)
{
    return ftell(((CheckedFile*)handle)->file);
}

void PutLittleEndian(std::string& bytes, size_t position, unsigned value)
{
    for (int i = 0; i < 4; i++) bytes[position + i] = (char)(value >> (8 * i));
}

unsigned GetLittleEndian(const std::string& bytes, size_t position)
{
    unsigned value = 0;
    for (int i = 3; i >= 0; i--) value = value << 8 | (unsigned char)bytes[position + i];
    return value;
}

// FreeImage's run-length writer puts the uncompressed size into the file
// header, leaves the image size at 0 and ends the last row with an
// end-of-line marker before the end-of-bitmap one, which its own reader
// refuses. Mended: the marker goes, both sizes tell the truth.
void MendRunLengthBitmap(std::string& bytes)
{
    const size_t fileSizeAt = 2, pixelsAt = 10, imageSizeAt = 34;
    const std::string lastRowThenEnd("\0\0\0\1", 4);
    if (bytes.size() < imageSizeAt + 4 + lastRowThenEnd.size()) return;
    if (bytes.compare(bytes.size() - 4, 4, lastRowThenEnd) == 0) bytes.erase(bytes.size() - 4, 2);
    unsigned pixels = GetLittleEndian(bytes, pixelsAt);
    PutLittleEndian(bytes, fileSizeAt, (unsigned)bytes.size());
    if (pixels <= bytes.size()) PutLittleEndian(bytes, imageSizeAt, (unsigned)(bytes.size() - pixels));
}

// FreeImage's XPM writer knows no transparency and names every colour by
// its value. The transparent entry gets a colour no other entry has, and the
// colour is then renamed None, XPM's transparent colour.
std::string HexColour(const RGBQUAD& colour)
{
    char text[8];
    snprintf(text, sizeof text, "#%02x%02x%02x", colour.rgbRed, colour.rgbGreen, colour.rgbBlue);
    return text;
}

void GiveClearEntryOwnColour(FIBITMAP* bitmap, int clear, std::string& colourName)
{
    RGBQUAD* palette = FreeImage_GetPalette(bitmap);
    std::set<std::string> taken;
    for (unsigned i = 0; i < FreeImage_GetColorsUsed(bitmap); i++)
        if ((int)i != clear) taken.insert(HexColour(palette[i]));
    // 257 candidates for at most 255 other entries.
    for (unsigned candidate = 0; candidate <= 256; candidate++) {
        RGBQUAD colour = {(BYTE)candidate, (BYTE)(candidate >> 8), 0xFE, 0};
        if (taken.count(HexColour(colour))) continue;
        palette[clear] = colour;
        colourName = HexColour(colour);
        return;
    }
}

void NameClearColourNone(std::string& bytes, const std::string& colourName)
{
    std::string written = " c " + colourName + "\"";
    size_t at = bytes.find(written);
    if (at != std::string::npos) bytes.replace(at, written.size(), " c None\"");
}

// Saves through memory when the bytes need mending before they reach the file.
bool SaveMended(FIBITMAP* bitmap, FREE_IMAGE_FORMAT format, int flags, CheckedFile& out,
                const std::string& clearColour)
{
    FIMEMORY* memory = FreeImage_OpenMemory();
    BYTE* data = NULL;
    DWORD size = 0;
    bool saved = memory && FreeImage_SaveToMemory(format, bitmap, memory, flags) &&
                 FreeImage_AcquireMemory(memory, &data, &size);
    std::string bytes = saved ? std::string((const char*)data, size) : std::string();
    if (memory) FreeImage_CloseMemory(memory);
    if (!saved) return false;
    if (format == FIF_BMP) MendRunLengthBitmap(bytes);
    else NameClearColourNone(bytes, clearColour);
    WriteBytes(&bytes[0], 1, (unsigned)bytes.size(), (fi_handle)&out);
    return true;
}

unsigned BigEndian(const unsigned char* bytes)
{
    return (unsigned)bytes[0] << 24 | bytes[1] << 16 | bytes[2] << 8 | bytes[3];
}

// The image library reads the first frame of an animated PNG only. An
// animation says how many frames it has in a chunk before the pixels.
int PngFrameCount(const char* path)
{
    FILE* file = OpenHostFile(path, "rb");
    if (!file) return 0;
    unsigned char chunk[8];
    int frames = fread(chunk, 1, 8, file) == 8 ? 1 : 0;   // the signature
    while (frames == 1 && fread(chunk, 1, 8, file) == 8) {
        std::string type((const char*)chunk + 4, 4);
        if (type == "IDAT" || type == "IEND") break;
        if (type == "acTL") {
            frames = fread(chunk, 1, 4, file) == 4 ? (int)std::min(BigEndian(chunk), 65535u) : 0;
            break;
        }
        if (fseek(file, (long)BigEndian(chunk) + 4, SEEK_CUR) != 0) frames = 0;
    }
    fclose(file);
    return frames;
}

unsigned LittleEndian(const unsigned char* bytes)
{
    return (unsigned)bytes[3] << 24 | bytes[2] << 16 | bytes[1] << 8 | bytes[0];
}

// Nor does it read more than the first frame of an animated WebP, which
// holds a chunk for each frame.
int WebpFrameCount(const char* path)
{
    FILE* file = OpenHostFile(path, "rb");
    if (!file) return 0;
    unsigned char chunk[12];
    int frames = fread(chunk, 1, 12, file) == 12 ? 0 : -1;   // "RIFF", its size, "WEBP"
    while (frames >= 0 && fread(chunk, 1, 8, file) == 8) {
        if (memcmp(chunk, "ANMF", 4) == 0) frames++;
        unsigned size = LittleEndian(chunk + 4);
        if (fseek(file, (long)size + size % 2, SEEK_CUR) != 0) frames = -1;
    }
    fclose(file);
    return frames < 0 ? 0 : std::max(frames, 1);
}

} // namespace

bool SaveImageFile(FIBITMAP* bitmap, FREE_IMAGE_FORMAT format, int flags, const char* path,
                   std::string& reason)
{
    std::string host = HostPath(path);
    if (host.empty()) {
        reason = "its folder cannot be reached";
        return false;
    }
    FILE* file = OpenHostFileToWrite(host);
    if (!file) {
        reason = std::string("the file could not be created (") + strerror(errno) + ")";
        return false;
    }

    freeImageMessage.clear();
    CheckedFile out = {file, 0};
    bool runLength = format == FIF_BMP && (flags & BMP_SAVE_RLE) && FreeImage_GetBPP(bitmap) == 8;
    int clear = format == FIF_XPM ? FreeImage_GetTransparentIndex(bitmap) : -1;
    std::string clearColour;
    if (clear >= 0) GiveClearEntryOwnColour(bitmap, clear, clearColour);
    bool saved;
    if (runLength || !clearColour.empty()) {
        saved = SaveMended(bitmap, format, flags, out, clearColour);
    } else {
        FreeImageIO io = {ReadBytes, WriteBytes, SeekBytes, TellBytes};
        saved = FreeImage_SaveToHandle(format, bitmap, &io, (fi_handle)&out, flags);
    }
    errno = 0;
    if (fflush(file) != 0) Remember(out);
    if (fclose(file) != 0) Remember(out);
    if (saved && !out.error) return true;

    // The name was free, or created empty for this save; a file that is not
    // whole goes.
    remove(host.c_str());
    if (out.error)
        reason = std::string("not every byte reached the file (") + strerror(out.error) + ")";
    else
        reason = freeImageMessage.empty() ? std::string("FreeImage could not encode it") : freeImageMessage;
    return false;
}

bool ReadsBack(const char* path, FREE_IMAGE_FORMAT format, unsigned width, unsigned height,
               std::string& reason)
{
    freeImageMessage.clear();
    std::string host = HostPath(path);
    FIBITMAP* bitmap = host.empty() ? NULL : FreeImage_Load(format, host.c_str(), 0);
    if (!bitmap) {
        reason = freeImageMessage.empty() ? std::string("it cannot be opened") : freeImageMessage;
        return false;
    }
    unsigned readWidth = FreeImage_GetWidth(bitmap), readHeight = FreeImage_GetHeight(bitmap);
    FreeImage_Unload(bitmap);
    if (readWidth == width && readHeight == height) return true;
    reason = "it reads as " + std::to_string(readWidth) + " x " + std::to_string(readHeight) + " pixels instead of " +
             std::to_string(width) + " x " + std::to_string(height);
    return false;
}

int PageCount(const char* path, FREE_IMAGE_FORMAT format)
{
    if (format == FIF_PNG) return PngFrameCount(path);
    if (format == FIF_WEBP) return WebpFrameCount(path);
    // Animations whose frames cannot be counted here.
    if (format == FIF_MNG) return 0;
    if (format != FIF_TIFF && format != FIF_GIF && format != FIF_ICO) return 1;
    std::string host = HostPath(path);
    FIMULTIBITMAP* pages = host.empty() ? NULL : FreeImage_OpenMultiBitmap(format, host.c_str(), FALSE, TRUE);
    if (!pages) return 0;
    int count = FreeImage_GetPageCount(pages);
    FreeImage_CloseMultiBitmap(pages);
    return count;
}
