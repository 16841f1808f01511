// Benchmark helper: makes the test images, and converts them with a minimal
// loop of FreeImage calls, the baseline a direct-mode list run is compared with.
//   bramblewick_bench generate DIR COUNT       DIR/imageN.png and DIR/imageN.jpg, 1920x1080, photo-like
//   bramblewick_bench png-to-jpg DIR COUNT     DIR/imageN.png -> DIR/imageN.jpg at half size
//   bramblewick_bench jpg-to-png DIR COUNT     DIR/imageN.jpg -> DIR/imageN.png
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/freeimage.h"

namespace {

std::string ImagePath(const char* directory, int n, const char* extension)
{
    return std::string(directory) + "/image" + std::to_string(n) + "." + extension;
}

// Smooth shapes with sensor-like noise: it compresses as a photograph does,
// unlike flat or patterned test cards.
bool Generate(const char* directory, int count)
{
    srand(1);
    for (int n = 0; n < count; n++) {
        FIBITMAP* bitmap = FreeImage_Allocate(1920, 1080, 24);
        if (!bitmap) return false;
        for (unsigned y = 0; y < 1080; y++) {
            BYTE* row = FreeImage_GetScanLine(bitmap, y);
            for (unsigned x = 0; x < 1920; x++) {
                double light = 110 + 60 * sin(x / (90.0 + n) + n) * cos(y / 70.0) + 40 * sin((x + 2.0 * y) / 300.0);
                for (int c = 0; c < 3; c++) {
                    int value = (int)(light * (0.7 + 0.15 * c)) + rand() % 17 - 8;
                    row[3 * x + c] = (BYTE)(value < 0 ? 0 : value > 255 ? 255 : value);
                }
            }
        }
        bool saved = FreeImage_Save(FIF_PNG, bitmap, ImagePath(directory, n, "png").c_str(), PNG_Z_BEST_SPEED) &&
                     FreeImage_Save(FIF_JPEG, bitmap, ImagePath(directory, n, "jpg").c_str(), JPEG_QUALITYGOOD);
        FreeImage_Unload(bitmap);
        if (!saved) return false;
    }
    return true;
}

// The work each conversion needs and nothing else.
bool PngToJpg(const char* directory, int count)
{
    for (int n = 0; n < count; n++) {
        FIBITMAP* bitmap = FreeImage_Load(FIF_PNG, ImagePath(directory, n, "png").c_str(), 0);
        if (!bitmap) return false;
        FIBITMAP* half = FreeImage_Rescale(bitmap, FreeImage_GetWidth(bitmap) / 2,
                                           FreeImage_GetHeight(bitmap) / 2, FILTER_BSPLINE);
        FreeImage_Unload(bitmap);
        if (!half) return false;
        bool saved = FreeImage_Save(FIF_JPEG, half, ImagePath(directory, n, "jpg").c_str(), JPEG_QUALITYGOOD);
        FreeImage_Unload(half);
        if (!saved) return false;
    }
    return true;
}

bool JpgToPng(const char* directory, int count)
{
    for (int n = 0; n < count; n++) {
        FIBITMAP* bitmap = FreeImage_Load(FIF_JPEG, ImagePath(directory, n, "jpg").c_str(), JPEG_ACCURATE);
        if (!bitmap) return false;
        bool saved = FreeImage_Save(FIF_PNG, bitmap, ImagePath(directory, n, "png").c_str(), 0);
        FreeImage_Unload(bitmap);
        if (!saved) return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        fprintf(stderr, "usage: %s generate|png-to-jpg|jpg-to-png DIR COUNT\n", argv[0]);
        return 2;
    }
    int count = atoi(argv[3]);
    bool ok = strcmp(argv[1], "generate") == 0     ? Generate(argv[2], count)
              : strcmp(argv[1], "png-to-jpg") == 0 ? PngToJpg(argv[2], count)
              : strcmp(argv[1], "jpg-to-png") == 0 ? JpgToPng(argv[2], count)
                                                   : false;
    return ok ? 0 : 1;
}
