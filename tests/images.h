// Real image files for the tests, made and read with FreeImage.
#pragma once
#include <memory>
#include <string>

#include "engine/freeimage.h"

struct BitmapDeleter {
    void operator()(FIBITMAP* bitmap) const { FreeImage_Unload(bitmap); }
};
typedef std::unique_ptr<FIBITMAP, BitmapDeleter> Bitmap;

// Red rising left to right, green top to bottom, blue their product (black
// top left, white bottom right), at a depth of 24 or 32. True on success.
bool WritePatternImage(const std::string& windowsPath, int width, int height, int bpp,
                       FREE_IMAGE_FORMAT format = FIF_PNG);
// An image file FreeImage knows by its content; null when it knows none.
Bitmap ReadImage(const std::string& windowsPath);
// 0xRRGGBB at x on a row counted from the top.
unsigned RgbAt(FIBITMAP* bitmap, unsigned x, unsigned rowFromTop);
// A file of three pictures (16, 32 and 48 pixels square) in a format that
// holds several; true on success.
bool WriteThreePictures(const std::string& windowsPath, FREE_IMAGE_FORMAT format);
// A 300 x 200 JPEG cut off after its first quarter, as a broken copy leaves it.
bool WriteCutOffJpeg(const std::string& windowsPath);

// `value` in `bytes` bytes, least or most significant first, for files made byte by byte.
std::string Le(unsigned long long value, int bytes);
std::string Be(unsigned long long value, int bytes = 4);
// A PNG chunk: length, type, data, checksum.
std::string PngChunk(const std::string& type, const std::string& data);
