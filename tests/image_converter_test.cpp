#include <string>

#include "engine/conversion_settings.h"
#include "engine/image_converter.h"
#include "tests/gtest.h"
#include "tests/images.h"
#include "tests/test_support.h"

namespace {

// What Convert is asked to do besides saving.
struct Steps { int resize, unit, width, height, rotate, direction, degrees; };

class ImageConverterTest : public testing::Test {
protected:
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

} // namespace

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
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.size, Size(Converted(c.width, c.height, c.bpp, c.extension, c.steps))) << c.width;
}

TEST_F(ImageConverterTest, FailuresWriteNothing)
{
    ASSERT_TRUE(WritePatternImage(dir / "tiny.png", 3, 3, 24));
    EXPECT_EQ(DepthFailed, Run(dir / "tiny.png", dir / "tiny.bmp", {true, Percentage, 33, 100}));
    EXPECT_EQ(OpenFailed, Run(dir / "tiny.png", dir / "tiny.xyz"));
    EXPECT_EQ(dir / "tiny.png" + "\r\nError: Could not open the file", imageConverter.errorReport);
    EXPECT_FALSE(FileExists(dir / "tiny.bmp") || FileExists(dir / "tiny.xyz"));
}

// The pattern's bottom-left corner is green and its top-right one red.
TEST_F(ImageConverterTest, TurnsGoTheWayTheUserMeans)
{
    EXPECT_EQ(0x00FF00u, RgbAt(Converted(6, 4, 24, "png", {false, 0, 0, 0, true, Right, 90}).get(), 0, 0));
    EXPECT_EQ(0xFF0000u, RgbAt(Converted(6, 4, 24, "png", {false, 0, 0, 0, true, Left, 90}).get(), 0, 0));
}

// Only resizing widens 16-bit grey, which JPEG cannot take.
TEST_F(ImageConverterTest, JpegTakesSixteenBitGreyOnlyWhenResized)
{
    ASSERT_TRUE(WritePatternImage(dir / "grey.png", 30, 20, 16));
    EXPECT_EQ(CannotWrite, Run(dir / "grey.png", dir / "grey.jpg"));
    EXPECT_FALSE(FileExists(dir / "grey.jpg"));
    EXPECT_EQ(Ok, Run(dir / "grey.png", dir / "grey.jpg", {true, Percentage, 100, 100}));
    EXPECT_EQ("30x20x24", Size(ReadImage(dir / "grey.jpg")));
}

// Palette images keep their colours; true colour goes through the chosen quantizer.
TEST_F(ImageConverterTest, PaletteFormatsByDepth)
{
    Bitmap gif = Converted(40, 30, 8, "gif", {}, FIQ_NNQUANT), source = ReadImage(dir / "0.source");
    for (unsigned x = 0; x < 40; x += 3) EXPECT_EQ(RgbAt(source.get(), x, 5), RgbAt(gif.get(), x, 5)) << x;
    EXPECT_EQ("64x64x8", Size(Converted(64, 64, 24, "xpm", {}, FIQ_WUQUANT)));
    EXPECT_EQ("64x64x8", Size(Converted(64, 64, 24, "xpm", {}, FIQ_NNQUANT)));
    EXPECT_NE(ReadFileBytes(dir / "1.xpm"), ReadFileBytes(dir / "2.xpm"));
}
