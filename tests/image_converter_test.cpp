#include <set>
#include <string>

#include "engine/conversion_settings.h"
#include "engine/image_converter.h"
#include "tests/gtest.h"
#include "tests/images.h"
#include "tests/test_support.h"

namespace {

// What Convert is asked to do besides saving.
struct Steps {
    bool resize = false;
    int unit = Percentage;
    int width = 0;
    int height = 0;
    bool rotate = false;
    int direction = Left;
    int degrees = 0;
};

Steps ResizeBy(int unit, int width, int height)
{
    Steps steps;
    steps.resize = true;
    steps.unit = unit;
    steps.width = width;
    steps.height = height;
    return steps;
}

Steps RotateBy(int direction, int degrees)
{
    Steps steps;
    steps.rotate = true;
    steps.direction = direction;
    steps.degrees = degrees;
    return steps;
}

const RGBQUAD red = {0, 0, 255, 255};
const RGBQUAD black = {0, 0, 0, 255};

class ImageConverterTest : public testing::Test {
protected:
    void SetUp() override
    {
        imageConverter.bilevelMethod = 0;
        imageConverter.errorReport.clear();
        freeImageMessage.clear();
    }
    void TearDown() override
    {
        imageConverter.inputPath = nullptr;
        imageConverter.outputPath = nullptr;
    }

    // Runs one file the way the per-file job does: probe, then convert.
    int Run(const std::string& in, const std::string& out, Steps steps = Steps(), int saveFlags = 0)
    {
        input = in;
        output = out;
        imageConverter.inputPath = input.c_str();
        int probe = imageConverter.ProbeInput();
        if (probe != Ok) return probe;
        imageConverter.outputPath = output.c_str();
        return imageConverter.Convert(saveFlags, steps.resize, steps.unit, steps.width, steps.height,
                                      steps.rotate, steps.direction, steps.degrees);
    }

    // Converts a fresh pattern image and reads the result back.
    Bitmap Converted(int width, int height, int bpp, const std::string& extension, Steps steps = Steps(),
                     int saveFlags = 0)
    {
        std::string source = dir / ("source" + std::to_string(serial) + ".png");
        std::string target = dir / ("target" + std::to_string(serial++) + "." + extension);
        EXPECT_TRUE(WritePatternImage(source, width, height, bpp));
        EXPECT_EQ(Ok, Run(source, target, steps, saveFlags)) << imageConverter.errorReport;
        return ReadImage(target);
    }

    TempDir dir;
    std::string input;
    std::string output;
    int serial = 0;
};

void ExpectSize(FIBITMAP* bitmap, unsigned width, unsigned height)
{
    ASSERT_NE(nullptr, bitmap);
    EXPECT_EQ(width, FreeImage_GetWidth(bitmap));
    EXPECT_EQ(height, FreeImage_GetHeight(bitmap));
}

} // namespace

TEST_F(ImageConverterTest, PercentagesAreTakenExactlyAndIndependently)
{
    struct { int width, height, widthPercent, heightPercent; unsigned newWidth, newHeight; } cases[] = {
        {29, 10, 100, 100, 29, 10},
        {640, 20, 50, 50, 320, 10},
        {333, 40, 33, 50, 109, 20},
        {40, 30, 50, 200, 20, 60},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
        Bitmap result = Converted(c.width, c.height, 24, "png", ResizeBy(Percentage, c.widthPercent, c.heightPercent));
        ExpectSize(result.get(), c.newWidth, c.newHeight);
    }
}

TEST_F(ImageConverterTest, PixelSizesAreTakenAsGiven)
{
    ExpectSize(Converted(50, 40, 24, "png", ResizeBy(Pixels, 17, 90)).get(), 17, 90);
}

TEST_F(ImageConverterTest, ResizingToNothingFailsAndWritesNothing)
{
    ASSERT_TRUE(WritePatternImage(dir / "tiny.png", 3, 3, 24));
    EXPECT_EQ(DepthFailed, Run(dir / "tiny.png", dir / "tiny.bmp", ResizeBy(Percentage, 33, 100)));
    EXPECT_FALSE(FileExists(dir / "tiny.bmp"));
    EXPECT_EQ(dir / "tiny.png" + "\r\nError: " + freeImageMessage, imageConverter.errorReport);
}

TEST_F(ImageConverterTest, ResizingAndRotatingWidenToTrueColour)
{
    EXPECT_EQ(1u, FreeImage_GetBPP(Converted(20, 10, 1, "png").get()));
    EXPECT_EQ(24u, FreeImage_GetBPP(Converted(20, 10, 1, "png", ResizeBy(Percentage, 100, 100)).get()));
    EXPECT_EQ(24u, FreeImage_GetBPP(Converted(20, 10, 8, "png", RotateBy(Right, 90)).get()));
    // An unknown direction turns nothing, but the widening has happened.
    Bitmap unturned = Converted(20, 10, 8, "png", RotateBy(14, 90));
    ExpectSize(unturned.get(), 20, 10);
    EXPECT_EQ(24u, FreeImage_GetBPP(unturned.get()));
}

TEST_F(ImageConverterTest, RotationComesBeforeResizing)
{
    ExpectSize(Converted(40, 20, 24, "png", [] {
        Steps steps = ResizeBy(Percentage, 50, 100);
        steps.rotate = true;
        steps.direction = Right;
        steps.degrees = 90;
        return steps;
    }()).get(), 10, 40);
}

// A red mark in the top-left corner of a black 6x4 image, and where a viewer
// sees it after each turn.
TEST_F(ImageConverterTest, TurnsGoTheWayTheUserMeans)
{
    Bitmap marked(FreeImage_Allocate(6, 4, 24));
    for (unsigned row = 0; row < 4; row++)
        for (unsigned x = 0; x < 6; x++) SetPixel(marked.get(), x, row, black);
    SetPixel(marked.get(), 0, 0, red);
    ASSERT_TRUE(SaveBitmap(marked.get(), dir / "marked.png"));

    struct { int direction, degrees; unsigned width, height, markX, markRow; } cases[] = {
        {Right, 90, 4, 6, 3, 0},    // clockwise: top-left goes to top-right
        {Left, 90, 4, 6, 0, 5},     // counter-clockwise: to bottom-left
        {Right, 180, 6, 4, 5, 3},
        {Left, 270, 4, 6, 3, 0},
        {Left, 0, 6, 4, 0, 0},
        {Right, 360, 6, 4, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.direction == Left ? "left " : "right ") << c.degrees);
        ASSERT_EQ(Ok, Run(dir / "marked.png", dir / "turned.png", RotateBy(c.direction, c.degrees)));
        Bitmap turned = ReadImage(dir / "turned.png");
        ExpectSize(turned.get(), c.width, c.height);
        EXPECT_TRUE(SameColour(red, PixelAt(turned.get(), c.markX, c.markRow)));
        EXPECT_TRUE(SameColour(black, PixelAt(turned.get(), c.width - 1 - c.markX, c.height - 1 - c.markRow)));
        ASSERT_TRUE(DeleteFileA((dir / "turned.png").c_str()));
    }
}

TEST_F(ImageConverterTest, JpegIsWrittenOnlyAtDepthsItTakes)
{
    // Nothing widens 16-bit grey on its own, and JPEG cannot take it; FreeImage
    // has nothing to say about that, so the report ends after "Error: ".
    freeImageMessage = "left over from an earlier file";
    ASSERT_TRUE(WritePatternImage(dir / "grey16.png", 30, 20, 16));
    EXPECT_EQ(CannotWrite, Run(dir / "grey16.png", dir / "grey16.jpg"));
    EXPECT_FALSE(FileExists(dir / "grey16.jpg"));
    EXPECT_EQ(dir / "grey16.png" + "\r\nError: ", imageConverter.errorReport);

    EXPECT_EQ(Ok, Run(dir / "grey16.png", dir / "grey16.jpg", ResizeBy(Percentage, 100, 100)));
    Bitmap widened = ReadImage(dir / "grey16.jpg");
    ExpectSize(widened.get(), 30, 20);
    EXPECT_EQ(24u, FreeImage_GetBPP(widened.get()));
    // Still the grey ramp, dark on the left and light on the right.
    EXPECT_GT(40, PixelAt(widened.get(), 0, 10).rgbGreen);
    EXPECT_LT(215, PixelAt(widened.get(), 29, 10).rgbGreen);

    EXPECT_EQ(8u, FreeImage_GetBPP(Converted(16, 16, 1, "jpg").get()));
    EXPECT_EQ(24u, FreeImage_GetBPP(Converted(16, 16, 32, "jpg").get()));
}

TEST_F(ImageConverterTest, SixteenBitGreyIsWrittenOnlyWhereItCanBeStored)
{
    ASSERT_TRUE(WritePatternImage(dir / "grey16.png", 30, 20, 16));
    for (const char* extension : {"png", "pgm"}) {
        SCOPED_TRACE(extension);
        std::string target = dir / (std::string("kept.") + extension);
        ASSERT_EQ(Ok, Run(dir / "grey16.png", target));
        Bitmap kept = ReadImage(target);
        ASSERT_NE(nullptr, kept);
        EXPECT_EQ(FIT_UINT16, FreeImage_GetImageType(kept.get()));
    }
    EXPECT_EQ(Ok, Run(dir / "grey16.png", dir / "kept.tif"));
    // BMP takes 16 bits only as packed colour, which would turn grey into noise.
    EXPECT_EQ(CannotWrite, Run(dir / "grey16.png", dir / "noise.bmp"));
    EXPECT_FALSE(FileExists(dir / "noise.bmp"));
}

TEST_F(ImageConverterTest, TargaAndPnmPreparation)
{
    EXPECT_EQ(8u, FreeImage_GetBPP(Converted(16, 16, 1, "tga").get()));
    EXPECT_EQ(24u, FreeImage_GetBPP(Converted(16, 16, 32, "ppm").get()));
    EXPECT_EQ(8u, FreeImage_GetBPP(Converted(16, 16, 8, "pgm").get()));
    // Formats without preparation keep the depth.
    EXPECT_EQ(1u, FreeImage_GetBPP(Converted(16, 16, 1, "bmp").get()));
}

TEST_F(ImageConverterTest, IconsAreSquareAndAtMost128)
{
    ExpectSize(Converted(64, 64, 24, "ico").get(), 64, 64);
    ExpectSize(Converted(129, 10, 24, "ico").get(), 128, 128);
    ExpectSize(Converted(100, 50, 24, "ico").get(), 100, 100);
    Bitmap fromBilevel = Converted(32, 32, 1, "ico");
    ExpectSize(fromBilevel.get(), 32, 32);
    EXPECT_EQ(8u, FreeImage_GetBPP(fromBilevel.get()));
}

TEST_F(ImageConverterTest, EveryBilevelMethodGivesItsOwnResult)
{
    std::set<std::string> results;
    std::string firstMethod;
    for (int method : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 42}) {
        SCOPED_TRACE(method);
        imageConverter.bilevelMethod = method;
        Bitmap result = Converted(64, 64, 24, "wbmp");
        ASSERT_NE(nullptr, result);
        EXPECT_EQ(1u, FreeImage_GetBPP(result.get()));
        std::string pixels = PixelBytes(result.get());
        if (method == 0) firstMethod = pixels;
        if (method == 7 || method == 42)
            EXPECT_EQ(firstMethod, pixels);   // row 7 and unknown rows threshold at 1
        else
            EXPECT_TRUE(results.insert(pixels).second);
    }
}

TEST_F(ImageConverterTest, PaletteImagesAreNotQuantizedAgain)
{
    Bitmap original = PatternBitmap(40, 30, 8);
    for (const char* extension : {"gif", "xpm"}) {
        SCOPED_TRACE(extension);
        Bitmap result = Converted(40, 30, 8, extension, Steps(), FIQ_NNQUANT);
        ASSERT_NE(nullptr, result);
        ASSERT_EQ(8u, FreeImage_GetBPP(result.get()));
        for (unsigned row = 0; row < 30; row += 7)
            for (unsigned x = 0; x < 40; x += 3)
                EXPECT_TRUE(SameColour(PixelAt(original.get(), x, row), PixelAt(result.get(), x, row)));
    }
}

TEST_F(ImageConverterTest, TrueColourIsQuantizedWithTheChosenQuantizer)
{
    for (int bpp : {24, 32}) {
        SCOPED_TRACE(bpp);
        Bitmap wu = Converted(64, 64, bpp, "xpm", Steps(), FIQ_WUQUANT);
        Bitmap nn = Converted(64, 64, bpp, "xpm", Steps(), FIQ_NNQUANT);
        ASSERT_NE(nullptr, wu);
        ASSERT_NE(nullptr, nn);
        EXPECT_EQ(8u, FreeImage_GetBPP(wu.get()));
        EXPECT_NE(PixelBytes(wu.get()), PixelBytes(nn.get()));
        EXPECT_EQ(8u, FreeImage_GetBPP(Converted(64, 64, bpp, "gif").get()));
    }
}

TEST_F(ImageConverterTest, FailuresReportTheirFile)
{
    ASSERT_TRUE(WritePatternImage(dir / "a.png", 8, 8, 24));
    EXPECT_EQ(OpenFailed, Run(dir / "a.png", dir / "a.xyz"));
    EXPECT_EQ(dir / "a.png" + "\r\nError: Could not open the file", imageConverter.errorReport);
    EXPECT_FALSE(FileExists(dir / "a.xyz"));

    // Named like a PNG, so the probe passes; FreeImage's own complaint is the report.
    WriteFileBytes(dir / "fake.png", "this is not an image at all");
    EXPECT_EQ(OpenFailed, Run(dir / "fake.png", dir / "fake.bmp"));
    EXPECT_EQ(dir / "fake.png" + "\r\nError: " + freeImageMessage, imageConverter.errorReport);
    EXPECT_NE(std::string(), freeImageMessage);

    EXPECT_EQ(SaveFailed, Run(dir / "a.png", dir / "missing\\a.bmp"));
    EXPECT_EQ(0u, imageConverter.errorReport.find(dir / "a.png" + "\r\nError: "));

    // A success leaves the last report alone.
    std::string lastReport = imageConverter.errorReport;
    EXPECT_EQ(Ok, Run(dir / "a.png", dir / "a.bmp"));
    EXPECT_EQ(lastReport, imageConverter.errorReport);
}

TEST_F(ImageConverterTest, ProbeKnowsFormatsByContentThenByName)
{
    ASSERT_TRUE(WritePatternImage(dir / "really-a-bmp.png", 8, 8, 24, FIF_BMP));
    imageConverter.inputPath = (input = dir / "really-a-bmp.png").c_str();
    EXPECT_EQ(Ok, imageConverter.ProbeInput());
    EXPECT_EQ(FIF_BMP, imageConverter.inputFormat);

    WriteFileBytes(dir / "empty.tga", "");
    imageConverter.inputPath = (input = dir / "empty.tga").c_str();
    EXPECT_EQ(Ok, imageConverter.ProbeInput());
    EXPECT_EQ(FIF_TARGA, imageConverter.inputFormat);

    WriteFileBytes(dir / "notes.txt", "hello world");
    imageConverter.inputPath = (input = dir / "notes.txt").c_str();
    EXPECT_EQ(UnknownFormat, imageConverter.ProbeInput());
    EXPECT_EQ(std::string(), imageConverter.errorReport);
}
