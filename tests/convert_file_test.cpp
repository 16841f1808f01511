// The per-file job: output places and names, failures logged, sources deleted only after proof.
#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "engine/conversion_settings.h"
#include "engine/convert_file.h"
#include "engine/formats.h"
#include "engine/image_converter.h"
#include "lang/caption_numbers.h"
#include "lang/language_file.h"
#include "platform/host_file.h"
#include "tests/gtest.h"
#include "tests/images.h"
#include "tests/test_support.h"

namespace {

class ConvertFileTest : public ProcessStateTest {
protected:
    ConvertFileTest() { settings.outputFormat = FormatJpg; }

    static bool Convert(const std::string& input)
    {
        return ConvertFile(input.c_str(), settings, ImageChange{false, Percentage, 100, 100, false, Left, 0});
    }

    static void UseDirectory(const std::string& folder)
    {
        settings.useOutputDirectory = true;
        snprintf(settings.outputDirectory, sizeof settings.outputDirectory, "%s", folder.c_str());
    }

    // A small image file of any name.
    std::string Source(const std::string& name, FREE_IMAGE_FORMAT format = FIF_PNG)
    {
        EXPECT_TRUE(WritePatternImage(dir / name, 12, 8, 24, format));
        return dir / name;
    }

    const TempDir& dir = directory;
};

// An animated PNG as far as its frame count goes: a PNG that declares three
// frames, of which FreeImage reads the one it holds.
std::string AnimatedPng(const std::string& windowsPath)
{
    WritePatternImage(windowsPath, 12, 8, 24);
    std::string png = ReadFileBytes(windowsPath);
    return png.substr(0, 33) + PngChunk("acTL", Be(3) + Be(0)) + png.substr(33);
}

std::string RiffChunk(const std::string& type, const std::string& data)
{
    return type + Le(data.size(), 4) + data + std::string(data.size() % 2, '\0');
}

// An animated WebP of three frames, each the picture of a written WebP.
std::string AnimatedWebp(const std::string& windowsPath)
{
    WritePatternImage(windowsPath, 12, 8, 24, FIF_WEBP);
    std::string picture = ReadFileBytes(windowsPath).substr(12);   // after "RIFF", its size, "WEBP"
    std::string frame =
        RiffChunk("ANMF", std::string(6, '\0') + Le(11, 3) + Le(7, 3) + Le(100, 3) + std::string(1, '\0') + picture);
    std::string body = "WEBP" + RiffChunk("VP8X", "\x02" + std::string(3, '\0') + Le(11, 3) + Le(7, 3)) +
                       RiffChunk("ANIM", std::string(4, '\0') + Le(0, 2)) + frame + frame + frame;
    return "RIFF" + Le(body.size(), 4) + body;
}

} // namespace

// Output goes where the directory setting says, under a free name: taken
// names, the source's own and one in another case (as Windows compares names),
// are never written over, nor one the run itself made after it looked at the
// folder; folders whose names differ only in case are two on the host.
TEST_F(ConvertFileTest, OutputGoesWhereTheDirectorySettingSaysUnderAFreeName)
{
    std::string source = Source("photo.jpg", FIF_JPEG);
    WriteFileBytes(dir / "photo_1.jpg", "keep me");
    WriteFileBytes(dir / "PHOTO_2.JPG", "keep me too");
    EXPECT_TRUE(Convert(source) && Convert(source));
    EXPECT_TRUE(FileExists(dir / "photo_3.jpg") && FileExists(dir / "photo_4.jpg"));
    NameClaims names;
    ClaimedName claim;
    std::string failure;
    for (const char* name : {"b.png", "b.tif", "b_1.png"}) ClaimOutputName(dir / name, settings, names, claim, failure);
    EXPECT_EQ(dir / "b_1_1.jpg", claim.path);
    for (const char* folder : {"X", "x"}) {
        ASSERT_EQ(0, mkdir((HostPath(dir.path().c_str()) + "/" + folder).c_str(), 0700));
        EXPECT_TRUE(ClaimOutputName(dir / folder + "\\a.png", settings, names, claim, failure) &&
                    claim.path == dir / folder + "\\a.jpg");
    }

    source = Source("a.png");
    std::pair<std::string, std::string> cases[] = {
        {"", dir / "a.jpg"},
        {"\\Out2/Small\\\\", dir / "Out2\\Small\\a.jpg"},
        {dir / "Elsewhere\\Deep\\", dir / "Elsewhere\\Deep\\a.jpg"},
    };
    for (const auto& [directory, written] : cases) {
        UseDirectory(directory);
        EXPECT_TRUE(Convert(source) && FileExists(written)) << directory;
    }
}

// A failed file keeps its source and is logged under its own path.
TEST_F(ConvertFileTest, FailuresAreLoggedAndTouchNothing)
{
    settings.deleteOriginal = true;
    UseDirectory("Out");
    // 2000 characters: one more than an input path may have.
    std::string tooLong = dir.path() + "\\" + std::string(2000 - dir.path().size() - 5, 'a') + ".png";
    EXPECT_FALSE(Convert(tooLong));
    std::string kept = Source("kept.png"), notes = dir / "notes.txt";
    WriteFileBytes(notes, "hello world");
    EXPECT_FALSE(Convert(kept + " ") || Convert(kept + ".")); // Windows would read both as kept.png
    EXPECT_FALSE(Convert(notes));
    settings.outputFormat = 99;   // an extension FreeImage does not know
    EXPECT_FALSE(Convert(kept));
    EXPECT_TRUE(FileExists(notes) && FileExists(kept) && !FileExists(dir / "Out\\kept.jpg"));
    std::string inexact = CaptionText(CaptionInexactName) + "\r\n\r\n";
    // The image library's words stay beside the kind of failure where they say more.
    EXPECT_EQ(Logged(tooLong) + CaptionText(CaptionPathTooLong) + "\r\n\r\n" + Logged(kept + " ") +
                  inexact + Logged(kept + ".") + inexact + Logged(notes) +
                  CaptionText(CaptionFailureKinds + UnknownFormat) + "\r\n\r\n" + Logged(kept) +
                  CaptionText(CaptionNoOutputFormatOfName) + "\r\n\r\n",
              conversionLog);
}

// With deletion on, animated GIFs, PNGs and WebPs, multi-page TIFFs and icons
// of several sizes lose everything but their first picture, and a cut-off
// JPEG decodes with its missing part filled in: they count as converted,
// keep their source, and the log says why. A source converted whole goes,
// also in folders deeper than the 260 characters of older Windows programs.
TEST_F(ConvertFileTest, OnlyASourceWhoseOnePictureWasWrittenWholeGoes)
{
    settings.outputFormat = FormatPng;
    settings.deleteOriginal = true;
    languageCaptions[0][CaptionDamagedSource] = "damaged: %1";
    languageCaptions[0][CaptionPicturesSourceKept] = "kept, one of %1";
    std::vector<std::string> sources;
    for (FREE_IMAGE_FORMAT format : {FIF_GIF, FIF_TIFF, FIF_ICO}) {
        sources.push_back(dir / ("pages." + std::string(FreeImage_GetFormatFromFIF(format))));
        ASSERT_TRUE(WriteThreePictures(sources.back(), format));
    }
    sources.push_back(dir / "animated.png");
    WriteFileBytes(sources.back(), AnimatedPng(sources.back()));
    sources.push_back(dir / "animated.webp");
    WriteFileBytes(sources.back(), AnimatedWebp(sources.back()));
    std::string cut = dir / "cut.jpg", expected;
    ASSERT_TRUE(WriteCutOffJpeg(cut));
    for (const std::string& source : sources) {
        EXPECT_TRUE(Convert(source));
        expected += DisplayPath(source) + "\r\nkept, one of 3\r\n\r\n";
    }
    EXPECT_TRUE(Convert(cut));
    size_t damage = conversionLog.find(DisplayPath(cut) + "\r\ndamaged: ");
    EXPECT_EQ(expected, conversionLog.substr(0, damage));
    EXPECT_TRUE(damage != std::string::npos && conversionLog.size() > damage + DisplayPath(cut).size() + 12);
    EXPECT_EQ("\r\ncaption 261\r\n\r\n", conversionLog.substr(conversionLog.size() - 17));
    EXPECT_EQ((std::vector<unsigned>{6, 0, 6}), (std::vector<unsigned>{convertedCount, failedCount, notedCount}));
    sources.push_back(cut);
    for (const std::string& source : sources) EXPECT_TRUE(FileExists(source)) << source;

    std::string still = Source("still.webp", FIF_WEBP), deep = dir.path();
    EXPECT_TRUE(Convert(still) && !FileExists(still));
    for (char c : {'d', 'e'}) {
        deep += "\\" + std::string(150, c);
        ASSERT_EQ(0, mkdir(HostPath(deep.c_str()).c_str(), 0700));
    }
    std::string deepSource = Source(deep.substr(dir.path().size() + 1) + "\\far.bmp", FIF_BMP);
    EXPECT_TRUE(Convert(deepSource) && !ReadImage(deepSource) && ReadImage(deep + "\\far.png"));
}

// A written file proves itself by reading back at the size it was written.
TEST_F(ConvertFileTest, OnlyAFileThatReadsBackLetsTheSourceGo)
{
    std::string source = Source("a.png"), written = Source("b.png");
    ImageConverter converted;
    converted.inputPath = source.c_str();
    converted.inputFormat = FIF_PNG;
    converted.outputPath = written.c_str();
    converted.outputFormat = FIF_PNG;
    converted.outputWidth = 12;
    converted.outputHeight = 9;
    languageCaptions[0][CaptionNotReadBack] = "%1: %2";
    int pictures = 0;
    EXPECT_EQ(HostPath(written.c_str()) + ": it reads as 12 x 8 pixels instead of 12 x 9",
              InWords(WhySourceMustStay(converted, pictures)));
}
