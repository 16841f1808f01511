// Every source depth to every format and option, read back; sizes, turns and failures.
#include <malloc.h>
#include <unistd.h>

#include <set>
#include <string>
#include <vector>

#include "engine/convert_file.h"
#include "engine/formats.h"
#include "engine/image_converter.h"
#include "engine/worker_pool.h"
#include "platform/host_file.h"
#include "tests/images.h"
#include "tests/test_support.h"

namespace {

// A square in four quadrants, from the top left: red, blue, green, white;
// with alpha, the lower two are a fully clear pixel hiding black and
// half-clear red; else every pixel has the alpha given. Large enough that a
// bitmap left behind shows.
const unsigned side = 64, quarter = side / 4;
FIBITMAP* Quadrants(bool alpha, BYTE opaque = 255)
{
    RGBQUAD solid[] = {{0, 0, 255, opaque}, {255, 0, 0, opaque}, {0, 255, 0, opaque}, {255, 255, 255, opaque}};
    RGBQUAD clear[] = {{0, 0, 255, 255}, {255, 0, 0, 255}, {0, 0, 0, 0}, {0, 0, 255, 128}};
    FIBITMAP* bitmap = FreeImage_Allocate(side, side, 32);
    for (unsigned y = 0; y < side; y++)
        for (unsigned x = 0; x < side; x++)
            FreeImage_SetPixelColor(bitmap, x, y, &(alpha ? clear : solid)[(y < side / 2) * 2 + (x >= side / 2)]);
    return bitmap;
}

Bitmap Opaque() { return Bitmap(FreeImage_ConvertTo24Bits(Bitmap(Quadrants(false)).get())); }

// A palette of the quadrants with the green one's entry fully transparent.
FIBITMAP* ClearGreen()
{
    FIBITMAP* palette = FreeImage_ColorQuantizeEx(Opaque().get(), FIQ_WUQUANT, 4);
    BYTE index = 0;
    FreeImage_GetPixelIndex(palette, quarter, quarter, &index);
    FreeImage_SetTransparentIndex(palette, index);
    return palette;
}

// One source per depth, made from the quadrants by FreeImage and written as
// a file that holds it. Grey ones are the quadrants' luminance; exact ones
// hold the quadrants' colours to the byte.
enum Kind { Grey, Colour, Exact };
struct Source { const char* name; FIBITMAP* (*make)(); FREE_IMAGE_FORMAT written; Kind pixels; bool alpha, palette; };
const Source sources[] = {
    {"1-bit", [] { return FreeImage_Threshold(Opaque().get(), 128); }, FIF_PNG, Grey, false, true},
    {"4-bit grey", [] { return FreeImage_ConvertTo4Bits(Opaque().get()); }, FIF_BMP, Grey, false, true},
    {"8-bit", [] { return FreeImage_ColorQuantizeEx(Opaque().get(), FIQ_WUQUANT, 4); }, FIF_PNG, Exact, false, true},
    {"8-bit, clear", ClearGreen, FIF_PNG, Colour, true, true},
    {"8-bit grey", [] { return FreeImage_ConvertToGreyscale(Opaque().get()); }, FIF_PNG, Grey, false, true},
    {"16-bit 5-5-5", [] { return FreeImage_ConvertTo16Bits555(Opaque().get()); }, FIF_BMP, Exact, false, false},
    {"16-bit 5-6-5", [] { return FreeImage_ConvertTo16Bits565(Opaque().get()); }, FIF_BMP, Exact, false, false},
    {"24-bit", [] { return FreeImage_Clone(Opaque().get()); }, FIF_PNG, Exact, false, false},
    {"32-bit, alpha 0 as unused", [] { return Quadrants(false, 0); }, FIF_BMP, Exact, false, false},
    {"32-bit", [] { return Quadrants(true); }, FIF_PNG, Colour, true, false},
    {"16-bit grey", [] { return FreeImage_ConvertToUINT16(Opaque().get()); }, FIF_PNG, Grey, false, false},
    {"48-bit", [] { return FreeImage_ConvertToRGB16(Opaque().get()); }, FIF_PNG, Colour, false, false},
    {"64-bit", [] { return FreeImage_ConvertToRGBA16(Bitmap(Quadrants(true)).get()); }, FIF_PNG, Colour, true, false},
    {"float grey", [] { return FreeImage_ConvertToFloat(Opaque().get()); }, FIF_PFM, Grey, false, false},
    {"float colour", [] { return FreeImage_ConvertToRGBF(Opaque().get()); }, FIF_HDR, Colour, false, false},
    {"float alpha", [] { return FreeImage_ConvertToRGBAF(Bitmap(Quadrants(true)).get()); }, FIF_EXR, Colour, true, false},
};

// The colour at a point counted from the top left, every channel from 0 to 1.
FIRGBAF At(FIBITMAP* bitmap, unsigned x, unsigned rowFromTop)
{
    Bitmap floats(FreeImage_ConvertToRGBAF(bitmap));
    return ((FIRGBAF*)FreeImage_GetScanLine(floats.get(), FreeImage_GetHeight(bitmap) - 1 - rowFromTop))[x];
}

// A little-endian number in the file (libtiff too writes the host's order).
unsigned Number(const std::string& bytes, size_t at, int size)
{
    unsigned value = 0;
    for (int i = 0; i < size; i++) value |= (unsigned)(unsigned char)bytes[at + i] << 8 * i;
    return value;
}

// What is wrong with one written file, read back and as bytes; empty when nothing.
std::string WrongWith(const Source& s, int format, int option, const std::string& bytes, FIBITMAP* back)
{
    if (!back || FreeImage_GetWidth(back) != side || FreeImage_GetHeight(back) != side) return "read back";
    unsigned bpp = FreeImage_GetBPP(back);
    bool fax = format == FormatTif && (option == 15 || option == 16);
    bool bilevel = format == FormatPbm || format == FormatWbmp || fax, grey = bilevel || format == FormatPgm;
    const unsigned jpegFirstSteps[] = {1, 8, 16, 32, 80};   // luminance DC at qualities 100, 75, 50, 25, 10
    const unsigned tiffCompressions[] = {bpp == 1 ? 4u : 5u, 32773, 32946, 8, 1, 3, 4, 5};
    char pnmKind = '0' + format - FormatPbm + 1 + (option == 8 ? 3 : 0);
    if (format == FormatJpg && Number(bytes, bytes.find("\xFF\xDB") + 5, 1) != jpegFirstSteps[option - 3])
        return "JPEG quality";
    // Run-length encoded are 8-bit palettes; colour images keep their depth.
    bool runLength = format == FormatBmp && option == 2 && bpp == 8;
    if (format == FormatBmp && !s.palette && s.pixels != Grey && bpp <= 8) return "reduced to a palette";
    if (format == FormatBmp && (Number(bytes, 2, 4) != bytes.size() || (Number(bytes, 30, 4) == 1) != runLength ||
                                (runLength && Number(bytes, 34, 4) != bytes.size() - Number(bytes, 10, 4))))
        return "BMP header";
    if ((format == FormatPbm || format == FormatPgm || format == FormatPpm) && (bytes[0] != 'P' || bytes[1] != pnmKind))
        return "PNM magic";
    if ((format == FormatPgm && bpp != 8) || (format == FormatPpm && bpp != 24) || (bilevel && bpp != 1)) return "depth";
    // Tag 259 of a TIFF file's first directory.
    unsigned directory = format == FormatTif ? Number(bytes, 4, 4) : 0, compression = 0;
    for (unsigned i = 0; directory && i < Number(bytes, directory, 2); i++)
        if (Number(bytes, directory + 2 + 12 * i, 2) == 259) compression = Number(bytes, directory + 10 + 12 * i, 2);
    if (format == FormatTif && compression != tiffCompressions[option - 10]) return "TIFF compression";

    FIRGBAF red = At(back, quarter, quarter), blue = At(back, 3 * quarter, quarter), clear = At(back, quarter, 3 * quarter),
            halfClear = At(back, 3 * quarter, 3 * quarter);
    if (grey && (red.red != red.green || red.green != red.blue)) return "not grey";
    // Black and white the right way round: white stays white and, at mid
    // grey, blue turns black, and red where it is not tone-mapped.
    if (bilevel && !s.alpha && halfClear.red != 1) return "white turned black";
    if ((format == FormatPbm || fax) && (blue.blue != 0 || (s.pixels == Exact && red.red != 0)))
        return "dark turned white";
    if (s.pixels != Grey && !grey && !(red.red > red.green + 0.25 && blue.blue > blue.red + 0.25)) return "colours lost";
    // The same pixels wherever the format holds the source as it is.
    bool keeps = format == FormatBmp || format == FormatTga || format == FormatPng || format == FormatPpm ||
                 format == FormatIco || (format == FormatTif && !fax) ||
                 (s.palette && (format == FormatGif || format == FormatXpm));
    bool exact = red.red == 1 && red.green == 0 && red.blue == 0 && blue.blue == 1 && blue.red == 0;
    if (s.pixels == Exact && keeps && !exact) return "pixels changed";

    if (!s.alpha) return "";
    bool storesAlpha = format == FormatPng || format == FormatTga || format == FormatIco ||
                       (format == FormatTif && !fax) || (format == FormatBmp && !s.palette);
    if (format == FormatXpm ? bytes.find("c None") == std::string::npos
        : storesAlpha || format == FormatGif ? clear.alpha > 0.05
        : (clear.red < 0.8 || clear.green < 0.8 || clear.blue < 0.8))
        return "clear pixel neither kept nor white";
    if (!s.palette && !storesAlpha && !grey && !(halfClear.green > 0.3 && halfClear.green < 0.7 && halfClear.red > 0.7))
        return "half-clear pixel not laid over white";
    return "";
}

class ImageConverterTest : public ProcessStateTest {
protected:
    ~ImageConverterTest() override { imageConverter.inputPath = imageConverter.outputPath = nullptr; }

    // One file the way the per-file job does it: probe, then convert.
    static int Run(const std::string& in, const std::string& out, ImageChange s = {}, int flags = 0)
    {
        imageConverter.inputPath = in.c_str();
        imageConverter.outputPath = out.c_str();
        if (int probe = imageConverter.ProbeInput()) return probe;
        return imageConverter.Convert(flags, s.resize, s.resizeUnit, s.width, s.height, s.rotate, s.rotateDirection,
                                      s.degrees);
    }

    TempDir dir;
};

} // namespace

// Every source depth, with and without alpha, to every format with each of
// its options: all in one run of workers, each file with its own settings,
// every output read back (and read as a source); then each again as a worker
// makes it, in this process, where a second round must leave nothing
// allocated.
TEST_F(ImageConverterTest, EverySourceToEveryFormatAndOptionReadsBackSoundAndLeavesNothingAllocated)
{
    struct Case { size_t source; ConversionSettings with; std::string written; };
    std::vector<Case> cases;
    auto path = [&](size_t i) { return dir / ("source" + std::to_string(i)); };
    for (size_t i = 0; i < sizeof sources / sizeof sources[0]; i++) {
        std::string host = HostPath(path(i).c_str());
        EXPECT_TRUE(FreeImage_Save(sources[i].written, Bitmap(sources[i].make()).get(), host.c_str(), 0));
        Case c = {i, ConversionSettings()};
        c.with.useOutputDirectory = true;
        for (c.with.outputFormat = 1; c.with.outputFormat <= 12; c.with.outputFormat++) {
            const KnownFormat& format = knownFormats[c.with.outputFormat - 1];
            for (c.with.saveOption = format.firstOption; c.with.saveOption <= format.LastOption(); c.with.saveOption++) {
                std::string folder = format.extension + std::to_string(c.with.saveOption);
                c.written = dir / (folder + "\\source" + std::to_string(i) + "." + format.extension);
                snprintf(c.with.outputDirectory, sizeof c.with.outputDirectory, "%s", folder.c_str());
                cases.push_back(c);
            }
        }
    }
    ConvertFiles({}, [&](unsigned index, FileStart& file) {
        if (index >= cases.size()) return false;
        file.inputPath = path(cases[index].source);
        file.settings = cases[index].with;
        return true;
    });
    EXPECT_EQ("", conversionLog);
    std::string byOption[saveOptionCount + 1];
    for (const Case& c : cases) {
        std::string host = HostPath(c.written.c_str()), bytes = ReadFileBytes(c.written);
        Bitmap back(FreeImage_Load(FreeImage_GetFIFFromFilename(host.c_str()), host.c_str(), 0));
        EXPECT_EQ("", WrongWith(sources[c.source], c.with.outputFormat, c.with.saveOption, bytes, back.get()))
            << sources[c.source].name << " to " << c.written;
        byOption[c.with.saveOption] += bytes;
        // Formats known only by the name, such as TGA, also as sources.
        EXPECT_TRUE(c.source != 0 || Run(c.written, c.written + ".png") == Ok) << imageConverter.errorReport;
    }
    // The WBMP options choose how grey becomes black and white: each gives
    // its own pictures.
    EXPECT_EQ(std::set<std::string>(byOption + 18, byOption + 28).size(), 10u);

    auto round = [&] {
        for (const Case& c : cases) {
            std::string again = dir / ("again." + std::string(knownFormats[c.with.outputFormat - 1].extension));
            imageConverter.bilevelMethod = BilevelMethodForOption(c.with.saveOption);
            EXPECT_EQ(Ok, Run(path(c.source), again, {}, SaveFlags(c.with.saveOption))) << c.written;
            DeleteFileA(again.c_str());
        }
    };
    // Bytes taken from the C heap, by FreeImage too, and not given back.
    auto allocated = [] { return mallinfo2().uordblks + mallinfo2().hblkhd; };
    round();
    size_t before = allocated();
    round();
    EXPECT_LT(long(allocated() - before), 4096);
}

TEST_F(ImageConverterTest, SizesAfterResizingTurningAndIconFittingAndTheXpmQuantizers)
{
    struct { int width, height; const char* extension; ImageChange steps; const char* size; } cases[] = {
        {333, 40, "png", {true, Percentage, 33, 50}, "109x20"},
        {40, 20, "png", {true, Percentage, 50, 100, true, Right, 90}, "10x40"},   // turned first
        {10, 200, "ico", {}, "128x128"},
    };
    for (const auto& c : cases) {
        std::string pattern = dir / std::to_string(c.width), converted = pattern + "." + c.extension;
        ASSERT_TRUE(WritePatternImage(pattern, c.width, c.height, 24));
        EXPECT_EQ(Ok, Run(pattern, converted, c.steps)) << imageConverter.errorReport;
        Bitmap back = ReadImage(converted);
        EXPECT_EQ(c.size, std::to_string(FreeImage_GetWidth(back.get())) + "x" +
                              std::to_string(FreeImage_GetHeight(back.get())));
    }
    // The XPM options choose the quantizer: each makes its own picture of the many colours.
    EXPECT_EQ(Ok, Run(dir / "333", dir / "28.xpm", {}, SaveFlags(28)));
    EXPECT_EQ(Ok, Run(dir / "333", dir / "29.xpm", {}, SaveFlags(29)));
    EXPECT_NE(ReadFileBytes(dir / "28.xpm"), ReadFileBytes(dir / "29.xpm"));
}

// The turn travels to a worker with the file: the pattern's bottom-left
// corner, green, goes to the top left.
TEST_F(ImageConverterTest, TurnsGoTheWayTheUserMeans)
{
    ASSERT_TRUE(WritePatternImage(dir / "pattern.bmp", 6, 4, 24));
    settings.outputFormat = FormatPng;
    ASSERT_TRUE(ConvertFile((dir / "pattern.bmp").c_str(), settings, {false, 0, 0, 0, true, Right, 90}));
    EXPECT_EQ(RgbAt(ReadImage(dir / "pattern.png").get(), 0, 0), 0x00FF00u);
}

// Each failure names its step; a save that fails leaves no file behind, also
// on a full disk (the output name leads to /dev/full, where writes fail).
TEST_F(ImageConverterTest, FailuresSayWhyAndLeaveNothing)
{
    std::string tiny = dir / "tiny.png";
    ASSERT_TRUE(WritePatternImage(tiny, 3, 3, 24));
    for (const KnownFormat& format : knownFormats) {
        std::string full = dir / (std::string("full.") + format.extension);
        ASSERT_EQ(0, symlink("/dev/full", HostPath(full.c_str()).c_str()));
        EXPECT_EQ(SaveFailed, Run(tiny, full, {}, SaveFlags(format.LastOption()))) << full;
        EXPECT_EQ(0u, imageConverter.errorReport.find(Logged(tiny) + "Could not save")) << imageConverter.errorReport;
        EXPECT_NE(0, access(HostPath(full.c_str()).c_str(), F_OK)) << full;
    }
}
