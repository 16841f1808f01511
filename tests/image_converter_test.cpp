#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "engine/conversion_settings.h"
#include "engine/convert_file.h"
#include "engine/formats.h"
#include "engine/image_converter.h"
#include "platform/host_file.h"
#include "tests/gtest.h"
#include "tests/images.h"
#include "tests/test_support.h"

namespace {

// What Convert is asked to do besides saving.
struct Steps { int resize, unit, width, height, rotate, direction, degrees; };

// A colour with every channel from 0 to 1.
struct Rgba { double red, green, blue, alpha; };

// Every source is 16 x 16 (the smallest icon) in four 8 x 8 quadrants, from
// the top left: red, blue, green, white. With alpha, the lower two are a
// fully clear pixel hiding black and half-clear red (opaque white in a
// palette, as GIF files have). Grey sources have 0.25, 0.75, 0 and 1.
struct Source {
    const char* name;
    FREE_IMAGE_TYPE type;
    int bpp;            // of an ordinary bitmap; 15 stands for 16-bit 5-5-5
    bool colour;
    bool alpha;
    FREE_IMAGE_FORMAT written;
};
const Source sources[] = {
    {"1-bit", FIT_BITMAP, 1, false, false, FIF_PNG},
    {"4-bit", FIT_BITMAP, 4, true, false, FIF_BMP},
    {"8-bit", FIT_BITMAP, 8, true, false, FIF_PNG},
    {"8-bit with a clear entry", FIT_BITMAP, 8, true, true, FIF_PNG},
    {"8-bit grey", FIT_BITMAP, 8, false, false, FIF_PNG},
    {"16-bit 5-5-5", FIT_BITMAP, 15, true, false, FIF_BMP},
    {"16-bit 5-6-5", FIT_BITMAP, 16, true, false, FIF_BMP},
    {"24-bit", FIT_BITMAP, 24, true, false, FIF_PNG},
    {"32-bit with its alpha unused (0)", FIT_BITMAP, 32, true, false, FIF_BMP},
    {"32-bit", FIT_BITMAP, 32, true, true, FIF_PNG},
    {"16-bit grey", FIT_UINT16, 16, false, false, FIF_PNG},
    {"48-bit", FIT_RGB16, 48, true, false, FIF_PNG},
    {"64-bit", FIT_RGBA16, 64, true, true, FIF_PNG},
    {"floating-point grey", FIT_FLOAT, 32, false, false, FIF_PFM},
    {"floating-point colour", FIT_RGBF, 96, true, false, FIF_HDR},
    {"floating-point colour with alpha", FIT_RGBAF, 128, true, true, FIF_EXR},
};

bool IsPalette(const Source& s) { return s.type == FIT_BITMAP && s.bpp <= 8; }

Rgba QuadrantColour(const Source& s, int quadrant)
{
    static const Rgba colours[] = {{1, 0, 0, 1}, {0, 0, 1, 1}, {0, 1, 0, 1}, {1, 1, 1, 1}};
    static const Rgba clear[] = {{1, 0, 0, 1}, {0, 0, 1, 1}, {0, 0, 0, 0}, {1, 0, 0, 0.5}};
    static const double greys[] = {0.25, 0.75, 0, 1};
    if (!s.colour) return {greys[quadrant], greys[quadrant], greys[quadrant], 1};
    if (s.alpha && !(IsPalette(s) && quadrant == 3)) return clear[quadrant];
    return colours[quadrant];
}

BYTE Byte(double value) { return (BYTE)(value * 255 + 0.5); }
WORD Word(double value) { return (WORD)(value * 65535 + 0.5); }

Bitmap MakeSource(const Source& s)
{
    bool sixteen = s.type == FIT_BITMAP && (s.bpp == 15 || s.bpp == 16);
    int bpp = sixteen ? 24 : s.bpp;
    Bitmap bitmap(s.type == FIT_BITMAP ? FreeImage_Allocate(16, 16, bpp) : FreeImage_AllocateT(s.type, 16, 16));
    RGBQUAD* palette = FreeImage_GetPalette(bitmap.get());
    BYTE alphas[4];
    for (int q = 0; IsPalette(s) && q < 4; q++) {
        Rgba c = QuadrantColour(s, q);
        if (s.colour) palette[q] = {Byte(c.blue), Byte(c.green), Byte(c.red), 0};
        alphas[q] = Byte(c.alpha);
    }
    if (IsPalette(s) && s.bpp == 1) palette[1] = {255, 255, 255, 0};
    if (s.alpha && IsPalette(s)) FreeImage_SetTransparencyTable(bitmap.get(), alphas, 4);
    for (unsigned y = 0; y < 16; y++) {
        BYTE* row = FreeImage_GetScanLine(bitmap.get(), y);
        for (unsigned x = 0; x < 16; x++) {
            int quadrant = (y < 8 ? 2 : 0) + (x < 8 ? 0 : 1);   // rows count from the bottom
            Rgba c = QuadrantColour(s, quadrant);
            float r = (float)c.red, g = (float)c.green, b = (float)c.blue, a = (float)c.alpha;
            switch (s.type) {
            case FIT_UINT16: ((WORD*)row)[x] = Word(r); break;
            case FIT_RGB16: ((FIRGB16*)row)[x] = {Word(r), Word(g), Word(b)}; break;
            case FIT_RGBA16: ((FIRGBA16*)row)[x] = {Word(r), Word(g), Word(b), Word(a)}; break;
            case FIT_FLOAT: ((float*)row)[x] = r; break;
            case FIT_RGBF: ((FIRGBF*)row)[x] = {r, g, b}; break;
            case FIT_RGBAF: ((FIRGBAF*)row)[x] = {r, g, b, a}; break;
            default: {
                BYTE index = s.bpp == 1 ? (r > 0.5) : s.colour ? quadrant : Byte(r);
                RGBQUAD colour = {Byte(b), Byte(g), Byte(r), Byte(s.alpha ? a : 0)};
                if (IsPalette(s)) FreeImage_SetPixelIndex(bitmap.get(), x, y, &index);
                else FreeImage_SetPixelColor(bitmap.get(), x, y, &colour);
            }
            }
        }
    }
    if (sixteen)
        bitmap.reset(s.bpp == 15 ? FreeImage_ConvertTo16Bits555(bitmap.get()) : FreeImage_ConvertTo16Bits565(bitmap.get()));
    return bitmap;
}

// The colour at a point of any bitmap FreeImage reads, channels from 0 to 1.
Rgba At(FIBITMAP* bitmap, unsigned x, unsigned rowFromTop)
{
    unsigned y = FreeImage_GetHeight(bitmap) - 1 - rowFromTop;
    const BYTE* row = FreeImage_GetScanLine(bitmap, y);
    switch (FreeImage_GetImageType(bitmap)) {
    case FIT_UINT16: { double v = ((WORD*)row)[x] / 65535.0; return {v, v, v, 1}; }
    case FIT_RGB16: { FIRGB16 p = ((FIRGB16*)row)[x]; return {p.red / 65535.0, p.green / 65535.0, p.blue / 65535.0, 1}; }
    case FIT_RGBA16: {
        FIRGBA16 p = ((FIRGBA16*)row)[x];
        return {p.red / 65535.0, p.green / 65535.0, p.blue / 65535.0, p.alpha / 65535.0};
    }
    case FIT_FLOAT: { double v = ((float*)row)[x]; return {v, v, v, 1}; }
    case FIT_RGBF: { FIRGBF p = ((FIRGBF*)row)[x]; return {p.red, p.green, p.blue, 1}; }
    case FIT_RGBAF: { FIRGBAF p = ((FIRGBAF*)row)[x]; return {p.red, p.green, p.blue, p.alpha}; }
    default: {
        Bitmap wide(FreeImage_ConvertTo32Bits(bitmap));
        RGBQUAD c = {};
        FreeImage_GetPixelColor(wide.get(), x, y, &c);
        return {c.rgbRed / 255.0, c.rgbGreen / 255.0, c.rgbBlue / 255.0, c.rgbReserved / 255.0};
    }
    }
}

unsigned Little(const std::string& bytes, size_t at, int size)
{
    unsigned value = 0;
    for (int i = size - 1; i >= 0; i--) value = value << 8 | (unsigned char)bytes[at + i];
    return value;
}

// Tag 259 of a TIFF file's first directory.
unsigned TiffCompression(const std::string& bytes)
{
    bool motorola = bytes.compare(0, 2, "MM") == 0;
    auto number = [&](size_t at, int size) {
        unsigned value = 0;
        for (int i = 0; i < size; i++) value |= (unsigned)(unsigned char)bytes[at + i] << 8 * (motorola ? size - 1 - i : i);
        return value;
    };
    unsigned directory = number(4, 4);
    for (unsigned i = 0, count = number(directory, 2); i < count; i++) {
        size_t entry = directory + 2 + 12 * i;
        if (number(entry, 2) == 259) return number(entry + 8, 2);
    }
    return 0;
}

// The first step of a JPEG file's first quantization table.
int JpegFirstStep(const std::string& bytes)
{
    size_t table = bytes.find("\xFF\xDB");
    return table == std::string::npos ? -1 : (unsigned char)bytes[table + 5];
}

// Where a source of each depth went, and what the written file must show.
struct Target {
    int format;
    int option;
    const char* extension;
};

class ImageConverterTest : public testing::Test {
protected:
    void SetUp() override
    {
        settings = ConversionSettings();
        convertedCount = failedCount = 0;
        conversionLog.clear();
    }
    void TearDown() override { imageConverter.inputPath = imageConverter.outputPath = nullptr; }

    // One file the way the per-file job does it: probe, then convert.
    static int Run(const std::string& in, const std::string& out, Steps s = {}, int flags = 0)
    {
        imageConverter.inputPath = in.c_str();
        imageConverter.outputPath = out.c_str();
        if (int probe = imageConverter.ProbeInput()) return probe;
        return imageConverter.Convert(flags, s.resize, s.unit, s.width, s.height, s.rotate, s.direction, s.degrees);
    }

    // The pattern written as <n>.source, converted to <n>.<extension> and read back.
    Bitmap Converted(int width, int height, int bpp, const std::string& extension, Steps s = {}, int flags = 0)
    {
        std::string name = dir / std::to_string(serial++);
        EXPECT_TRUE(WritePatternImage(name + ".source", width, height, bpp));
        EXPECT_EQ(Ok, Run(name + ".source", name + "." + extension, s, flags)) << imageConverter.errorReport;
        return ReadImage(name + "." + extension);
    }

    // Each source written as a file of its own; returns their paths.
    std::vector<std::string> WriteSources()
    {
        std::vector<std::string> paths;
        for (const Source& s : sources) {
            Bitmap bitmap = MakeSource(s);
            std::string path = dir / ("source" + std::to_string(paths.size()));
            std::string host = HostPath(path.c_str());
            EXPECT_TRUE(bitmap && FreeImage_Save(s.written, bitmap.get(), host.c_str(), 0)) << s.name;
            paths.push_back(path);
        }
        return paths;
    }

    TempDir dir;
    int serial = 0;
};

// Width x height x depth.
std::string Size(const Bitmap& b)
{
    if (!b) return "nothing";
    return std::to_string(FreeImage_GetWidth(b.get())) + "x" + std::to_string(FreeImage_GetHeight(b.get())) + "x" +
           std::to_string(FreeImage_GetBPP(b.get()));
}

bool Near(double a, double b, double tolerance) { return a > b - tolerance && a < b + tolerance; }

// The checks of one written file; an empty text when it passes, else what is wrong.
std::string WrongWith(const Source& s, int format, int option, const std::string& bytes, FIBITMAP* back)
{
    if (!back) return "does not read back";
    if (FreeImage_GetWidth(back) != 16 || FreeImage_GetHeight(back) != 16) return "wrong size";
    unsigned bpp = FreeImage_GetBPP(back);
    bool fax = format == FormatTif && (option == 15 || option == 16);
    bool bilevel = format == FormatPbm || format == FormatWbmp || fax;
    switch (format) {
    case FormatJpg: {
        const int firstSteps[] = {1, 8, 16, 32, 80};   // qualities 100, 75, 50, 25, 10
        if (JpegFirstStep(bytes) != firstSteps[option - 3]) return "JPEG quality";
        break;
    }
    case FormatBmp: {
        unsigned pixels = Little(bytes, 10, 4), compression = Little(bytes, 30, 4), imageSize = Little(bytes, 34, 4);
        if (Little(bytes, 2, 4) != bytes.size()) return "BMP file size field";
        if (option == 2 && (compression != 1 || bpp != 8 || imageSize != bytes.size() - pixels)) return "BMP RLE header";
        if (option == 1 && compression == 1) return "BMP compressed";
        break;
    }
    case FormatPbm:
    case FormatPgm:
    case FormatPpm: {
        char kind = format == FormatPbm ? 1 : format == FormatPgm ? 2 : 3;
        std::string magic = {'P', (char)('0' + kind + (option == 8 ? 3 : 0))};
        if (bytes.compare(0, 2, magic) != 0) return "PNM magic " + bytes.substr(0, 2);
        if ((format == FormatPgm && bpp != 8) || (format == FormatPpm && bpp != 24)) return "PNM depth";
        break;
    }
    case FormatTif: {
        const unsigned compressions[] = {bpp == 1 ? 4u : 5u, 32773, 32946, 8, 1, 3, 4, 5};
        if (TiffCompression(bytes) != compressions[option - 10]) return "TIFF compression";
        break;
    }
    }
    if (bilevel && bpp != 1) return "not black and white";

    Rgba topLeft = At(back, 4, 4), topRight = At(back, 12, 4), clear = At(back, 4, 12), halfClear = At(back, 12, 12);
    bool grey = bilevel || format == FormatPgm;
    if (grey && (topLeft.red != topLeft.green || topLeft.green != topLeft.blue)) return "not grey";
    // Black and white the right way round: the white quadrant stays white;
    // at mid grey, the blue or black one turns black.
    if (bilevel && !s.alpha && halfClear.red != 1) return "white turned black";
    if ((format == FormatPbm || fax) && (s.colour ? topRight : clear).red != 0) return "dark turned white";
    if (s.colour && !grey && !(topLeft.red > topLeft.green + 0.25 && topRight.blue > topRight.red + 0.25))
        return "colours lost";
    // Red and blue exactly as they were, wherever the format holds the
    // source's colours as they are: every format holding true colour, and
    // the palette formats for a palette.
    bool opaqueColour = s.colour && !s.alpha && (s.type == FIT_BITMAP || s.type == FIT_RGB16);
    bool keeps = (format == FormatBmp && option == 1) || format == FormatTga || format == FormatPng ||
                 format == FormatPpm || format == FormatIco || (format == FormatTif && !fax) ||
                 (IsPalette(s) && (format == FormatGif || format == FormatXpm || format == FormatBmp));
    if (opaqueColour && keeps &&
        !(topLeft.red == 1 && topLeft.green == 0 && topLeft.blue == 0 && topRight.blue == 1 && topRight.red == 0))
        return "pixels changed";

    if (!s.alpha) return "";
    bool storesAlpha = format == FormatPng || format == FormatTga || format == FormatIco ||
                       (format == FormatTif && !fax) || (format == FormatBmp && option == 1 && !IsPalette(s));
    if (format == FormatXpm) {
        if (bytes.find("c None") == std::string::npos) return "XPM without a clear colour";
    } else if (storesAlpha || format == FormatGif) {
        if (clear.alpha > 0.05) return "clear pixel not kept";
    } else if (clear.red < 0.8 || clear.green < 0.8 || clear.blue < 0.8) {
        return "clear pixel not white";
    }
    if (!IsPalette(s) && !storesAlpha && !grey && !(Near(halfClear.green, 0.5, 0.2) && halfClear.red > 0.7))
        return "half-clear pixel not laid over white";
    return "";
}

} // namespace

// Every source depth, with and without alpha, to every format with each of
// its options, through the per-file job as the user runs it.
TEST_F(ImageConverterTest, EverySourceToEveryFormatAndOptionReadsBackSound)
{
    std::vector<std::string> paths = WriteSources();
    settings.useOutputDirectory = true;
    for (int format = 1; format <= formatCount; format++) {
        const OutputFormat& row = FormatRow(format);
        for (int option = row.firstOption; option <= row.lastOption; option++) {
            settings.outputFormat = format;
            settings.saveOption = option;
            std::string folder = std::string(row.extension) + std::to_string(option);
            snprintf(settings.outputDirectory, sizeof settings.outputDirectory, "%s", folder.c_str());
            for (size_t i = 0; i < paths.size(); i++) {
                std::string written = dir / (folder + "\\source" + std::to_string(i) + "." + row.extension);
                SCOPED_TRACE(std::string(sources[i].name) + " as " + row.extension + " option " + std::to_string(option));
                conversionLog.clear();
                EXPECT_TRUE(ConvertFile(paths[i].c_str(), false, Percentage, 100, 100, false, Left, 0));
                EXPECT_EQ("", conversionLog);
                Bitmap back(FreeImage_Load(FreeImage_GetFIFFromFilename(written.c_str()),
                                           HostPath(written.c_str()).c_str(), 0));
                EXPECT_EQ("", WrongWith(sources[i], format, option, ReadFileBytes(written), back.get()));
            }
        }
    }
}

TEST_F(ImageConverterTest, EverySourceTurnsAndResizes)
{
    std::vector<std::string> paths = WriteSources();
    for (size_t i = 0; i < paths.size(); i++) {
        for (const char* extension : {"png", "jpg"}) {
            std::string out = paths[i] + "." + extension;
            EXPECT_EQ(Ok, Run(paths[i], out, {true, Percentage, 50, 25, true, Right, 90})) << imageConverter.errorReport;
            EXPECT_EQ("8x4", Size(ReadImage(out)).substr(0, 3)) << sources[i].name << " " << extension;
        }
    }
}

TEST_F(ImageConverterTest, SizesAfterResizingTurningAndIconFitting)
{
    struct { int width, height, bpp; const char* extension; Steps steps; const char* size; } cases[] = {
        {29, 10, 24, "png", {true, Percentage, 100, 100}, "29x10x24"},
        {333, 40, 8, "png", {true, Percentage, 33, 50}, "109x20x24"},
        {50, 40, 24, "png", {true, Pixels, 17, 90}, "17x90x24"},
        {40, 20, 24, "png", {true, Percentage, 50, 100, true, Right, 90}, "10x40x24"},   // turned first
        {64, 64, 24, "ico", {}, "64x64x24"},
        {129, 10, 24, "ico", {}, "128x128x24"},
        {32, 32, 1, "ico", {}, "32x32x8"},
        {8, 3, 24, "ico", {}, "16x16x24"},   // FreeImage reads no smaller icon
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.size, Size(Converted(c.width, c.height, c.bpp, c.extension, c.steps))) << c.width;
}

// The pattern's bottom-left corner is green and its top-right one red.
TEST_F(ImageConverterTest, TurnsGoTheWayTheUserMeans)
{
    EXPECT_EQ(0x00FF00u, RgbAt(Converted(6, 4, 24, "png", {false, 0, 0, 0, true, Right, 90}).get(), 0, 0));
    EXPECT_EQ(0xFF0000u, RgbAt(Converted(6, 4, 24, "png", {false, 0, 0, 0, true, Left, 90}).get(), 0, 0));
}

TEST_F(ImageConverterTest, XpmOptionsChooseTheQuantizer)
{
    Converted(64, 64, 24, "xpm", {}, FIQ_WUQUANT);
    Converted(64, 64, 24, "xpm", {}, FIQ_NNQUANT);
    EXPECT_NE(ReadFileBytes(dir / "0.xpm"), ReadFileBytes(dir / "1.xpm"));
}

// Each failure names its step; a save that fails leaves no file behind, also
// on a full disk (the output name leads to /dev/full, where writes fail).
TEST_F(ImageConverterTest, FailuresSayWhyAndLeaveNothing)
{
    std::string tiny = dir / "tiny.png";
    ASSERT_TRUE(WritePatternImage(tiny, 3, 3, 24));
    EXPECT_EQ(DepthFailed, Run(tiny, dir / "tiny.bmp", {true, Percentage, 33, 100}));
    EXPECT_EQ(tiny + "\r\nError: Could not resize the 24-bit image to 0 x 3 pixels", imageConverter.errorReport);
    EXPECT_EQ(OpenFailed, Run(tiny, dir / "tiny.xyz"));
    EXPECT_EQ(tiny + "\r\nError: The output file's extension names no image format", imageConverter.errorReport);
    EXPECT_FALSE(FileExists(dir / "tiny.bmp") || FileExists(dir / "tiny.xyz"));

    ASSERT_TRUE(CreateDirectoryA((dir / "taken.png").c_str(), NULL));
    EXPECT_EQ(SaveFailed, Run(tiny, dir / "taken.png"));
    EXPECT_NE(std::string::npos, imageConverter.errorReport.find("as PNG: the file could not be created"));
    EXPECT_TRUE(FileExists(dir / "taken.png"));

    std::string clear = dir / "clear.png";
    ASSERT_TRUE(FreeImage_Save(FIF_PNG, MakeSource(sources[9]).get(), HostPath(clear.c_str()).c_str(), 0));
    for (int format = 1; format <= formatCount; format++) {
        std::string full = dir / (std::string("full.") + FormatExtension(format));
        ASSERT_EQ(0, symlink("/dev/full", HostPath(full.c_str()).c_str()));
        EXPECT_EQ(SaveFailed, Run(clear, full, {}, SaveFlags(FormatRow(format).lastOption))) << full;
        EXPECT_NE(std::string::npos, imageConverter.errorReport.find("not every byte reached the file")) << full;
        struct stat link;
        EXPECT_NE(0, lstat(HostPath(full.c_str()).c_str(), &link)) << full;
    }
}
