#include "tests/images.h"

#include "platform/host_file.h"

namespace {

BYTE Ramp(int position, int length)
{
    return length > 1 ? (BYTE)(position * 255 / (length - 1)) : 0;
}

} // namespace

Bitmap PatternBitmap(int width, int height, int bpp)
{
    if (bpp == 16) {
        Bitmap bitmap(FreeImage_AllocateT(FIT_UINT16, width, height, 16));
        for (int y = 0; y < height; y++) {
            WORD* line = (WORD*)FreeImage_GetScanLine(bitmap.get(), y);
            for (int x = 0; x < width; x++) line[x] = (WORD)(Ramp(x, width) * 257);
        }
        return bitmap;
    }

    Bitmap bitmap(FreeImage_Allocate(width, height, bpp));
    if (bpp == 1 || bpp == 8) {
        RGBQUAD* palette = FreeImage_GetPalette(bitmap.get());
        if (bpp == 1) {
            palette[0] = RGBQUAD{0, 0, 0, 0};
            palette[1] = RGBQUAD{255, 255, 255, 0};
        } else {
            for (int i = 0; i < 256; i++) palette[i] = RGBQUAD{(BYTE)(i * 7), (BYTE)(255 - i), (BYTE)i, 0};
        }
        for (int y = 0; y < height; y++) {
            for (int x = 0; x < width; x++) {
                BYTE index = bpp == 1 ? (BYTE)((x / 2 + y / 2) % 2) : (BYTE)((x + y) % 256);
                FreeImage_SetPixelIndex(bitmap.get(), x, y, &index);
            }
        }
        return bitmap;
    }

    for (int row = 0; row < height; row++) {
        for (int x = 0; x < width; x++) {
            BYTE red = Ramp(x, width);
            BYTE green = Ramp(row, height);
            SetPixel(bitmap.get(), x, row, RGBQUAD{(BYTE)(red * green / 255), green, red, 255});
        }
    }
    return bitmap;
}

bool SaveBitmap(FIBITMAP* bitmap, const std::string& windowsPath, FREE_IMAGE_FORMAT format)
{
    std::string host = HostPath(windowsPath.c_str());
    return bitmap && !host.empty() && FreeImage_Save(format, bitmap, host.c_str(), 0);
}

bool WritePatternImage(const std::string& windowsPath, int width, int height, int bpp, FREE_IMAGE_FORMAT format)
{
    return SaveBitmap(PatternBitmap(width, height, bpp).get(), windowsPath, format);
}

Bitmap ReadImage(const std::string& windowsPath)
{
    std::string host = HostPath(windowsPath.c_str());
    if (host.empty()) return Bitmap();
    // WBMP has no signature: only its name tells.
    FREE_IMAGE_FORMAT format = FreeImage_GetFileType(host.c_str(), 0);
    if (format == FIF_UNKNOWN) format = FreeImage_GetFIFFromFilename(host.c_str());
    if (format == FIF_UNKNOWN) return Bitmap();
    return Bitmap(FreeImage_Load(format, host.c_str(), 0));
}

RGBQUAD PixelAt(FIBITMAP* bitmap, unsigned x, unsigned rowFromTop)
{
    unsigned y = FreeImage_GetHeight(bitmap) - 1 - rowFromTop;
    RGBQUAD colour = {};
    if (FreeImage_GetBPP(bitmap) <= 8) {
        BYTE index = 0;
        FreeImage_GetPixelIndex(bitmap, x, y, &index);
        return FreeImage_GetPalette(bitmap)[index];
    }
    FreeImage_GetPixelColor(bitmap, x, y, &colour);
    return colour;
}

void SetPixel(FIBITMAP* bitmap, unsigned x, unsigned rowFromTop, RGBQUAD colour)
{
    FreeImage_SetPixelColor(bitmap, x, FreeImage_GetHeight(bitmap) - 1 - rowFromTop, &colour);
}

bool SameColour(RGBQUAD a, RGBQUAD b)
{
    return a.rgbRed == b.rgbRed && a.rgbGreen == b.rgbGreen && a.rgbBlue == b.rgbBlue;
}

std::string PixelBytes(FIBITMAP* bitmap)
{
    std::string bytes;
    unsigned lineBytes = FreeImage_GetLine(bitmap);
    for (unsigned y = 0; y < FreeImage_GetHeight(bitmap); y++)
        bytes.append((const char*)FreeImage_GetScanLine(bitmap, y), lineBytes);
    return bytes;
}
