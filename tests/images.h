// Real image files for the tests, made with FreeImage: any size, depths 1, 8,
// 16 (16-bit greyscale), 24 and 32, with pixels that can be told apart.
#pragma once
#include <memory>
#include <string>

#include "engine/freeimage.h"

struct BitmapDeleter {
    void operator()(FIBITMAP* bitmap) const { FreeImage_Unload(bitmap); }
};
typedef std::unique_ptr<FIBITMAP, BitmapDeleter> Bitmap;

// The pattern, by depth:
//  1: 2x2 checks of black and white;
//  8: index (x + y) mod 256 into a coloured, non-grey palette;
// 16: FIT_UINT16 grey rising from left to right;
// 24, 32: red rising left to right, green top to bottom, blue their product
//         (so brightness runs from black to white); alpha 255.
Bitmap PatternBitmap(int width, int height, int bpp);

// Writes a bitmap to a Windows path; true on success.
bool SaveBitmap(FIBITMAP* bitmap, const std::string& windowsPath, FREE_IMAGE_FORMAT format = FIF_PNG);
// Writes a pattern image file; true on success.
bool WritePatternImage(const std::string& windowsPath, int width, int height, int bpp,
                       FREE_IMAGE_FORMAT format = FIF_PNG);
// Reads an image file of any format FreeImage recognises; null when it cannot.
Bitmap ReadImage(const std::string& windowsPath);

// Pixels addressed with rows counted from the top, as a viewer shows them
// (FreeImage counts from the bottom). Palette images give the palette colour.
RGBQUAD PixelAt(FIBITMAP* bitmap, unsigned x, unsigned rowFromTop);
void SetPixel(FIBITMAP* bitmap, unsigned x, unsigned rowFromTop, RGBQUAD colour);   // 24 and 32 bits
bool SameColour(RGBQUAD a, RGBQUAD b);   // alpha ignored

// Every row's pixel bytes without padding, for comparing two images.
std::string PixelBytes(FIBITMAP* bitmap);
