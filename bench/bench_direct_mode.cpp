// Benchmark helper: makes the test images, and converts them with a minimal
// loop of FreeImage calls, the baseline a direct-mode list run is compared with.
//   bramblewick_bench generate DIR COUNT   writes DIR/imageN.png, 1920x1080
//   bramblewick_bench loop DIR COUNT       DIR/imageN.png -> DIR/imageN.jpg at half size
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

bool Generate(const char* directory, int count)
{
    for (int n = 0; n < count; n++) {
        FIBITMAP* bitmap = FreeImage_Allocate(1920, 1080, 24);
        if (!bitmap) return false;
        for (unsigned y = 0; y < 1080; y++) {
            BYTE* row = FreeImage_GetScanLine(bitmap, y);
            for (unsigned x = 0; x < 1920; x++) {
                row[3 * x + 0] = (BYTE)(x + n * 7);
                row[3 * x + 1] = (BYTE)(y ^ x);
                row[3 * x + 2] = (BYTE)(y + n * 13);
            }
        }
        bool saved = FreeImage_Save(FIF_PNG, bitmap, ImagePath(directory, n, "png").c_str(), PNG_Z_BEST_SPEED);
        FreeImage_Unload(bitmap);
        if (!saved) return false;
    }
    return true;
}

// The work a JPG conversion at 50 % needs and nothing else.
bool Loop(const char* directory, int count)
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

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        fprintf(stderr, "usage: %s generate|loop DIR COUNT\n", argv[0]);
        return 2;
    }
    int count = atoi(argv[3]);
    bool ok = strcmp(argv[1], "generate") == 0 ? Generate(argv[2], count) : Loop(argv[2], count);
    return ok ? 0 : 1;
}
