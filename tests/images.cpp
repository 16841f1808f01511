// Test images written with FreeImage; see images.h.
#include "tests/images.h"

#include <algorithm>

#include "platform/host_file.h"
#include "tests/test_support.h"

bool WritePatternImage(const std::string& windowsPath, int width, int height, int bpp, FREE_IMAGE_FORMAT format)
{
    Bitmap bitmap(FreeImage_Allocate(width, height, bpp));
    for (int y = 0; y < height; y++) {
        for (int x = 0; x < width; x++) {
            BYTE red = (BYTE)(x * 255 / std::max(width - 1, 1));
            BYTE green = (BYTE)((height - 1 - y) * 255 / std::max(height - 1, 1));
            RGBQUAD colour = {(BYTE)(red * green / 255), green, red, 255};
            FreeImage_SetPixelColor(bitmap.get(), x, y, &colour);
        }
    }
    std::string host = HostPath(windowsPath.c_str());
    return bpp >= 24 && !host.empty() && FreeImage_Save(format, bitmap.get(), host.c_str(), 0);
}

Bitmap ReadImage(const std::string& windowsPath)
{
    std::string host = HostPath(windowsPath.c_str());
    FREE_IMAGE_FORMAT format = FreeImage_GetFileType(host.c_str(), 0);
    return Bitmap(format == FIF_UNKNOWN ? NULL : FreeImage_Load(format, host.c_str(), 0));
}

unsigned RgbAt(FIBITMAP* bitmap, unsigned x, unsigned rowFromTop)
{
    Bitmap trueColour(FreeImage_ConvertTo24Bits(bitmap));
    RGBQUAD colour = {};
    FreeImage_GetPixelColor(trueColour.get(), x, FreeImage_GetHeight(bitmap) - 1 - rowFromTop, &colour);
    return colour.rgbRed << 16 | colour.rgbGreen << 8 | colour.rgbBlue;
}

bool WriteThreePictures(const std::string& windowsPath, FREE_IMAGE_FORMAT format)
{
    FIMULTIBITMAP* pages = FreeImage_OpenMultiBitmap(format, HostPath(windowsPath.c_str()).c_str(), TRUE, FALSE);
    if (!pages) return false;
    for (int size : {16, 32, 48}) FreeImage_AppendPage(pages, Bitmap(FreeImage_Allocate(size, size, 8)).get());
    return FreeImage_CloseMultiBitmap(pages);
}

std::string Le(unsigned long long value, int bytes)
{
    std::string text;
    for (; bytes--; value >>= 8) text += (char)value;
    return text;
}

std::string Be(unsigned long long value, int bytes)
{
    std::string text = Le(value, bytes);
    return std::string(text.rbegin(), text.rend());
}

std::string PngChunk(const std::string& type, const std::string& data)
{
    std::string typed = type + data;
    return Be(data.size()) + typed + Be(FreeImage_ZLibCRC32(0, (BYTE*)&typed[0], typed.size()));
}

bool WriteCutOffJpeg(const std::string& windowsPath)
{
    if (!WritePatternImage(windowsPath, 300, 200, 24, FIF_JPEG)) return false;
    std::string bytes = ReadFileBytes(windowsPath);
    WriteFileBytes(windowsPath, bytes.substr(0, bytes.size() / 4));
    return bytes.size() > 1000;
}
