#include <sys/stat.h>

#include <cstring>
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

class ConvertFileTest : public testing::Test {
protected:
    void SetUp() override
    {
        settings = ConversionSettings();
        settings.outputFormat = FormatJpg;
        settings.saveOption = 4;
        convertedCount = 0;
        failedCount = 0;
        conversionLog.clear();
        imageConverter.errorReport.clear();
    }

    static bool Convert(const std::string& input)
    {
        return ConvertFile(input.c_str(), false, Percentage, 100, 100, false, Left, 0);
    }

    static void UseOutputDirectory(const std::string& directory)
    {
        settings.useOutputDirectory = true;
        snprintf(settings.outputDirectory, sizeof settings.outputDirectory, "%s", directory.c_str());
    }

    // A small PNG source (any name, any extension).
    std::string Source(const std::string& name)
    {
        std::string path = dir / name;
        EXPECT_TRUE(WritePatternImage(path, 12, 8, 24));
        return path;
    }

    TempDir dir;
};

std::string LogEntry(const std::string& path, const std::string& message)
{
    return path + "\r\nError: " + message + "\r\n\r\n";
}

} // namespace

TEST_F(ConvertFileTest, WritesBesideTheSource)
{
    std::string source = Source("a.png");
    EXPECT_TRUE(Convert(source));
    Bitmap written = ReadImage(dir / "a.jpg");
    ASSERT_NE(nullptr, written);
    EXPECT_EQ(12u, FreeImage_GetWidth(written.get()));
    EXPECT_TRUE(FileExists(source));
    EXPECT_EQ(1u, convertedCount);
    EXPECT_EQ(0u, failedCount);
    EXPECT_EQ("", conversionLog);

    // Switched on but empty: still beside the source.
    UseOutputDirectory("");
    EXPECT_EQ(dir / "a_1.jpg", OutputPathFor(source.c_str()));
}

TEST_F(ConvertFileTest, TakenNamesGetTheFirstFreeNumber)
{
    ASSERT_TRUE(WritePatternImage(dir / "photo.jpg", 12, 8, 24, FIF_JPEG));
    std::string original = ReadFileBytes(dir / "photo.jpg");
    EXPECT_TRUE(Convert(dir / "photo.jpg"));
    EXPECT_TRUE(FileExists(dir / "photo_1.jpg"));
    EXPECT_EQ(original, ReadFileBytes(dir / "photo.jpg"));

    WriteFileBytes(dir / "photo_2.jpg", "keep me");
    EXPECT_TRUE(Convert(dir / "photo.jpg"));
    EXPECT_TRUE(FileExists(dir / "photo_3.jpg"));
    EXPECT_EQ("keep me", ReadFileBytes(dir / "photo_2.jpg"));
}

// Existing names are never written over, also when nobody may read them
// (the chmod proves that only when the tests do not run as root).
TEST_F(ConvertFileTest, UnreadableNamesAreTakenToo)
{
    std::string locked = dir / "b.jpg";
    WriteFileBytes(locked, "keep me");
    ASSERT_EQ(0, chmod(HostPath(locked.c_str()).c_str(), 0));
    EXPECT_TRUE(Convert(Source("b.png")));
    EXPECT_TRUE(FileExists(dir / "b_1.jpg"));
    chmod(HostPath(locked.c_str()).c_str(), 0600);
    EXPECT_EQ("keep me", ReadFileBytes(locked));

    ASSERT_TRUE(CreateDirectoryA((dir / "c.jpg").c_str(), NULL));
    EXPECT_TRUE(Convert(Source("c.png")));
    EXPECT_TRUE(FileExists(dir / "c_1.jpg"));
}

TEST_F(ConvertFileTest, ExtensionIsReplacedWithinTheFileNameOnly)
{
    ASSERT_TRUE(CreateDirectoryA((dir / "my.pictures").c_str(), NULL));
    std::string source = Source("my.pictures\\scan");
    EXPECT_EQ(dir / "my.pictures\\scan.jpg", OutputPathFor(source.c_str()));
    EXPECT_TRUE(Convert(source));
    EXPECT_TRUE(FileExists(dir / "my.pictures\\scan.jpg"));
    EXPECT_EQ(dir / "archive.tar.jpg", OutputPathFor((dir / "archive.tar.gz").c_str()));
}

TEST_F(ConvertFileTest, SubdirectoryBesideEachSource)
{
    ASSERT_TRUE(CreateDirectoryA((dir / "one").c_str(), NULL));
    ASSERT_TRUE(CreateDirectoryA((dir / "two").c_str(), NULL));
    UseOutputDirectory("Conversions");
    EXPECT_TRUE(Convert(Source("one\\a.png")));
    EXPECT_TRUE(Convert(Source("two\\b.png")));
    EXPECT_TRUE(FileExists(dir / "one\\Conversions\\a.jpg"));
    EXPECT_TRUE(FileExists(dir / "two\\Conversions\\b.jpg"));
    EXPECT_EQ(2u, convertedCount);
}

TEST_F(ConvertFileTest, NestedDirectoriesAreCreatedLevelByLevel)
{
    std::string source = Source("a.png");
    for (const char* directory : {"Out\\Small", "Out/Small/", "\\Out\\\\Small\\\\"}) {
        SCOPED_TRACE(directory);
        UseOutputDirectory(directory);
        EXPECT_EQ(dir / "Out\\Small\\a.jpg", OutputPathFor(source.c_str()));
    }
    EXPECT_TRUE(Convert(source));
    EXPECT_TRUE(FileExists(dir / "Out\\Small\\a.jpg"));
}

// A source named without its drive ("\\photos\\a.png") keeps its output on
// that drive rather than below the current directory.
TEST_F(ConvertFileTest, RootedSourcesStayRooted)
{
    char current[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof current, current);
    if (strncmp(current, dir.path().c_str(), 2) != 0) GTEST_SKIP() << "current drive differs";
    std::string rooted = Source("a.png").substr(2);
    UseOutputDirectory("Out");
    EXPECT_EQ(dir.path().substr(2) + "\\Out\\a.jpg", OutputPathFor(rooted.c_str()));
    EXPECT_TRUE(Convert(rooted));
    EXPECT_TRUE(FileExists(dir / "Out\\a.jpg"));
}

TEST_F(ConvertFileTest, DriveAbsoluteDirectory)
{
    std::string source = Source("a.png");
    std::string target = dir / "Elsewhere\\Deep";
    ASSERT_EQ(':', target[1]);
    UseOutputDirectory(target);
    EXPECT_TRUE(Convert(source));
    EXPECT_TRUE(FileExists(target + "\\a.jpg"));

    // Trailing separators change nothing.
    std::string expected = target + "\\a_1.jpg";
    for (const std::string& written : {target, target + "\\", target + "\\\\"}) {
        UseOutputDirectory(written);
        EXPECT_EQ(expected, OutputPathFor(source.c_str())) << written;
    }
}

// Only "X:\" starts a directory of its own; "X:/Out" is a name below the
// source's folder, whatever the file system makes of it, never the drive's
// root.
TEST_F(ConvertFileTest, ForwardSlashAfterTheDriveNamesASubdirectory)
{
    std::string source = Source("a.png");
    std::string drive = dir.path().substr(0, 2);
    UseOutputDirectory(drive + "/Bramblewick-out");
    EXPECT_EQ(dir.path() + "\\" + drive + "\\Bramblewick-out\\a.jpg", OutputPathFor(source.c_str()));
    Convert(source);
    EXPECT_FALSE(FileExists(drive + "\\Bramblewick-out\\a.jpg"));
}

TEST_F(ConvertFileTest, SourceIsDeletedOnlyAfterSuccess)
{
    settings.deleteOriginal = true;
    ASSERT_TRUE(WritePatternImage(dir / "photo.jpg", 12, 8, 24, FIF_JPEG));
    EXPECT_TRUE(Convert(dir / "photo.jpg"));
    EXPECT_FALSE(FileExists(dir / "photo.jpg"));
    EXPECT_TRUE(FileExists(dir / "photo_1.jpg"));

    std::string kept = Source("kept.png");
    settings.outputFormat = 99;
    EXPECT_FALSE(Convert(kept));
    EXPECT_TRUE(FileExists(kept));
    EXPECT_EQ(LogEntry(kept, "Could not open the file"), conversionLog);
}

TEST_F(ConvertFileTest, FailedDeletionIsShownAndTheFileStillCounts)
{
    settings.deleteOriginal = true;
    std::string source = Source("busy.png");
    HANDLE held = CreateFileA(source.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    MessageBoxAnswerer answerer;
    EXPECT_TRUE(Convert(source));
    CloseHandle(held);

    ASSERT_EQ(1u, answerer.count());
    EXPECT_EQ("You have \"Delete original image\" enabled, but I could not delete this file:\n\n" + source +
                  "\n\nAre you sure its not in use or write-protected?",
              answerer.texts()[0]);
    EXPECT_EQ("Bramblewick", answerer.titles()[0]);
    EXPECT_TRUE(FileExists(source));
    EXPECT_TRUE(FileExists(dir / "busy.jpg"));
    EXPECT_EQ(1u, convertedCount);
    EXPECT_EQ(0u, failedCount);
}

// Each failed file gets an entry naming itself, never a report left over
// from another file.
TEST_F(ConvertFileTest, EveryFailureIsLoggedUnderItsOwnPath)
{
    std::string good = Source("good.png");
    std::string notes = dir / "notes.txt";
    WriteFileBytes(notes, "hello world");
    std::string fake = dir / "fake.png";   // passes the probe by its name
    WriteFileBytes(fake, "hello world");

    EXPECT_FALSE(Convert(fake));
    std::string fakeEntry = imageConverter.errorReport + "\r\n\r\n";
    EXPECT_EQ(0u, fakeEntry.find(fake + "\r\nError: "));
    EXPECT_NE(LogEntry(fake, ""), fakeEntry);

    EXPECT_FALSE(Convert(notes));
    EXPECT_TRUE(Convert(good));
    RecordFailure(dir / "gone.png", "Some message");

    EXPECT_EQ(1u, convertedCount);
    EXPECT_EQ(3u, failedCount);
    EXPECT_EQ(fakeEntry + LogEntry(notes, "Unknown image format") + LogEntry(dir / "gone.png", "Some message"),
              conversionLog);
}

TEST_F(ConvertFileTest, OverlongPathFailsWithoutTouchingAnything)
{
    settings.deleteOriginal = true;
    UseOutputDirectory("Out");
    std::string prefix = dir.path() + "\\";
    std::string tooLong = prefix + std::string(2000 - prefix.size() - 4, 'a') + ".png";
    ASSERT_EQ(2000u, tooLong.size());

    EXPECT_FALSE(Convert(tooLong));
    EXPECT_EQ(LogEntry(tooLong, "The file path is too long (2000 characters or more)."), conversionLog);
    EXPECT_EQ(1u, failedCount);
    EXPECT_FALSE(FileExists(dir / "Out"));
    EXPECT_EQ("", OutputPathFor(tooLong.c_str()));

    // One character less is an ordinary path (of a file that is not there).
    std::string longest = tooLong.substr(0, 1995) + ".png";
    EXPECT_FALSE(Convert(longest));
    EXPECT_EQ(std::string::npos, conversionLog.find("too long", conversionLog.find("\r\n\r\n")));
}

TEST_F(ConvertFileTest, WbmpOptionChoosesTheMethod)
{
    settings.outputFormat = FormatWbmp;
    ASSERT_TRUE(WritePatternImage(dir / "ramp.png", 64, 64, 24));
    std::string previous;
    for (int option : {18, 19, 22}) {
        settings.saveOption = option;
        imageConverter.bilevelMethod = -1;
        EXPECT_TRUE(Convert(dir / "ramp.png"));
        EXPECT_EQ(BilevelMethodForOption(option), imageConverter.bilevelMethod);
    }
    Bitmap threshold1 = ReadImage(dir / "ramp.wbmp");
    Bitmap threshold80 = ReadImage(dir / "ramp_1.wbmp");
    Bitmap dithered = ReadImage(dir / "ramp_2.wbmp");
    ASSERT_TRUE(threshold1 && threshold80 && dithered);
    EXPECT_NE(PixelBytes(threshold1.get()), PixelBytes(threshold80.get()));
    EXPECT_NE(PixelBytes(threshold80.get()), PixelBytes(dithered.get()));
}
