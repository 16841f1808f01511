// The baseline a run of the program is compared with: the same FreeImage
// calls in a plain native program, no Wine, no workers. Also makes the test
// images.
//   native_loop photos DIR COUNT        DIR/photoN.png and .jpg, 1920x1080, photo-like
//   native_loop icons DIR COUNT         DIR/iconN.png, 32x32
//   native_loop convert EXT THREADS FILE...   each FILE to EXT beside it, on THREADS threads
// Built by bench/run.sh with g++ against the system's FreeImage.
#include <FreeImage.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

std::string Numbered(const char* directory, const char* name, int n, const char* extension)
{
    return std::string(directory) + "/" + name + std::to_string(n) + "." + extension;
}

// Smooth shapes with sensor-like noise: it compresses as a photograph does,
// unlike flat or patterned test cards.
FIBITMAP* Picture(unsigned width, unsigned height, int n)
{
    FIBITMAP* bitmap = FreeImage_Allocate(width, height, 24);
    for (unsigned y = 0; bitmap && y < height; y++) {
        BYTE* row = FreeImage_GetScanLine(bitmap, y);
        for (unsigned x = 0; x < width; x++) {
            double light = 110 + 60 * sin(x / (90.0 + n) + n) * cos(y / 70.0) + 40 * sin((x + 2.0 * y) / 300.0);
            for (int c = 0; c < 3; c++) {
                int value = (int)(light * (0.7 + 0.15 * c)) + rand() % 17 - 8;
                row[3 * x + c] = (BYTE)(value < 0 ? 0 : value > 255 ? 255 : value);
            }
        }
    }
    return bitmap;
}

bool Generate(bool photos, const char* directory, int count)
{
    srand(1);
    for (int n = 0; n < count; n++) {
        FIBITMAP* bitmap = photos ? Picture(1920, 1080, n) : Picture(32, 32, n);
        if (!bitmap) return false;
        const char* name = photos ? "photo" : "icon";
        bool saved = FreeImage_Save(FIF_PNG, bitmap, Numbered(directory, name, n, "png").c_str(), PNG_Z_BEST_SPEED) &&
                     (!photos || FreeImage_Save(FIF_JPEG, bitmap, Numbered(directory, name, n, "jpg").c_str(), 0));
        FreeImage_Unload(bitmap);
        if (!saved) return false;
    }
    return true;
}

// Load and save with the formats' defaults, as the program does with save option 0.
bool Convert(const char* path, const char* extension)
{
    FIBITMAP* bitmap = FreeImage_Load(FreeImage_GetFileType(path, 0), path, 0);
    if (!bitmap) return false;
    std::string output = path;
    output = output.substr(0, output.rfind('.') + 1) + extension;
    FREE_IMAGE_FORMAT format = FreeImage_GetFIFFromFilename(output.c_str());
    if (format == FIF_JPEG && FreeImage_GetBPP(bitmap) != 24) {
        FIBITMAP* colour = FreeImage_ConvertTo24Bits(bitmap);
        FreeImage_Unload(bitmap);
        bitmap = colour;
    }
    bool saved = bitmap && FreeImage_Save(format, bitmap, output.c_str(), 0);
    FreeImage_Unload(bitmap);
    return saved;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 4 && (strcmp(argv[1], "photos") == 0 || strcmp(argv[1], "icons") == 0))
        return Generate(strcmp(argv[1], "photos") == 0, argv[2], atoi(argv[3])) ? 0 : 1;
    if (argc >= 4 && strcmp(argv[1], "convert") == 0) {
        const char* extension = argv[2];
        int threads = atoi(argv[3]);
        std::atomic<int> next(4), failed(0);
        auto work = [&] {
            for (int i; (i = next++) < argc;)
                if (!Convert(argv[i], extension)) failed++;
        };
        std::vector<std::thread> pool;
        for (int t = 1; t < threads; t++) pool.emplace_back(work);
        work();
        for (std::thread& thread : pool) thread.join();
        return failed ? 1 : 0;
    }
    fprintf(stderr, "usage: %s photos|icons DIR COUNT | convert EXT THREADS FILE...\n", argv[0]);
    return 2;
}
