#include <windows.h>

#include <cstring>
#include <string>

#include "app/settings_file.h"
#include "engine/conversion_settings.h"
#include "lang/caption_numbers.h"
#include "lang/language_file.h"
#include "res/resource.h"
#include "tests/gtest.h"
#include "tests/test_support.h"
#include "ui/main_window.h"

namespace {

const char* const savedFile =
    "1\r\n2\r\n4\r\n8\r\n9\r\n8\r\n12\r\n22\r\n29\r\n"
    "1\r\nZ:\\tmp\\converted\r\n1\r\n"
    "1\r\nPixels\r\n640\r\n480\r\n"
    "1\r\nLeft\r\n270\r\n";

std::string WithoutCarriageReturns(std::string text)
{
    std::string result;
    for (char c : text) {
        if (c != '\r') result += c;
    }
    return result;
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

void SelectEntry(HWND window, int control, const char* first, const char* second, const char* selected)
{
    SendDlgItemMessageA(window, control, CB_ADDSTRING, 0, (LPARAM)first);
    SendDlgItemMessageA(window, control, CB_ADDSTRING, 0, (LPARAM)second);
    SendDlgItemMessageA(window, control, CB_SELECTSTRING, (WPARAM)-1, (LPARAM)selected);
}

// Starts every test from empty settings and no main window, and puts back
// what the process had.
class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedSettings = settings;
        savedMainWindow = mainWindow;
        savedUnwritableCaption = languageCaptions[0][CaptionSettingsUnwritable];
        settings = ConversionSettings();
        mainWindow = NULL;
    }

    void TearDown() override
    {
        if (mainWindow) DestroyWindow(mainWindow);
        settings = savedSettings;
        mainWindow = savedMainWindow;
        languageCaptions[0][CaptionSettingsUnwritable] = savedUnwritableCaption;
    }

    // The main window's resize and rotate controls holding these values.
    void OpenMainWindow(const char* mode, const char* width, const char* height, const char* direction,
                        const char* degrees)
    {
        mainWindow = CreateDialogParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDD_MAIN), NULL,
                                        PlainDialogProc, 0);
        ASSERT_TRUE(mainWindow != NULL);
        SelectEntry(mainWindow, IDC_RESIZE_MODE, "Percentage", "Pixels", mode);
        SelectEntry(mainWindow, IDC_DIRECTION, "Left", "Right", direction);
        SetDlgItemTextA(mainWindow, IDC_WIDTH, width);
        SetDlgItemTextA(mainWindow, IDC_HEIGHT, height);
        SetDlgItemTextA(mainWindow, IDC_DEGREES, degrees);
    }

    bool LoadText(const std::string& text)
    {
        WriteFileBytes(directory / "config.dat", text);
        return LoadSettings((directory / "config.dat").c_str());
    }

    std::string SavedText()
    {
        EXPECT_TRUE(SaveSettings((directory / "saved.dat").c_str()));
        return ReadFileBytes(directory / "saved.dat");
    }

    TempDir directory;

private:
    ConversionSettings savedSettings;
    HWND savedMainWindow;
    std::string savedUnwritableCaption;
};

TEST_F(SettingsFileTest, ReadsEveryLineInItsPlaceWhateverTheLineEnds)
{
    for (const std::string& text : {std::string(savedFile), WithoutCarriageReturns(savedFile)}) {
        settings = ConversionSettings();
        ASSERT_TRUE(LoadText(text));
        EXPECT_EQ(1, settings.language);
        EXPECT_EQ(2, settings.bmpDefaultOption);
        EXPECT_EQ(4, settings.jpgDefaultOption);
        EXPECT_EQ(8, settings.pbmDefaultOption);
        EXPECT_EQ(9, settings.pgmDefaultOption);
        EXPECT_EQ(8, settings.ppmDefaultOption);
        EXPECT_EQ(12, settings.tifDefaultOption);
        EXPECT_EQ(22, settings.wbmpDefaultOption);
        EXPECT_EQ(29, settings.xpmDefaultOption);
        EXPECT_TRUE(settings.useOutputDirectory);
        EXPECT_STREQ("Z:\\tmp\\converted", settings.outputDirectory);
        EXPECT_TRUE(settings.deleteOriginal);
        EXPECT_TRUE(settings.resizeEnabled);
        EXPECT_STREQ("Pixels", settings.resizeModeText);
        EXPECT_EQ(640, settings.resizeWidth);
        EXPECT_EQ(480, settings.resizeHeight);
        EXPECT_TRUE(settings.rotateEnabled);
        EXPECT_STREQ("Left", settings.rotateDirectionText);
        EXPECT_EQ(270, settings.rotateDegrees);
        // Fields the file does not hold.
        EXPECT_EQ(0, settings.outputFormat);
        EXPECT_EQ(0, settings.resizeMode);
    }
}

TEST_F(SettingsFileTest, WritingBackWhatWasReadGivesTheSameBytes)
{
    ASSERT_TRUE(LoadText(savedFile));
    OpenMainWindow("Pixels", "640", "480", "Left", "270");
    EXPECT_EQ(savedFile, SavedText());
}

TEST_F(SettingsFileTest, SizesAndAnglesAreTakenFromTheWindowAndNeverZero)
{
    settings.resizeWidth = 50;
    settings.resizeHeight = 50;
    settings.rotateDegrees = 90;
    OpenMainWindow("Percentage", "", "75", "Right", "0");
    std::string text = SavedText();
    EXPECT_NE(std::string::npos, text.find("\r\nPercentage\r\n1\r\n75\r\n0\r\nRight\r\n1\r\n"));
    EXPECT_EQ(1, settings.resizeWidth);
    EXPECT_EQ(75, settings.resizeHeight);
    EXPECT_EQ(1, settings.rotateDegrees);
}

TEST_F(SettingsFileTest, WithoutWindowOrDirectoryTheLinesStillMeanSomething)
{
    settings.language = 2;
    settings.useOutputDirectory = false;
    strcpy(settings.outputDirectory, "Z:\\unused");
    strcpy(settings.resizeModeText, "Pixels");
    settings.resizeWidth = 0;
    EXPECT_EQ("2\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n"
              "0\r\n-\r\n0\r\n"
              "0\r\n\r\n1\r\n1\r\n"
              "0\r\n\r\n1\r\n",
              SavedText());
    EXPECT_EQ(1, settings.resizeWidth);
    EXPECT_STREQ("Pixels", settings.resizeModeText);

    ASSERT_TRUE(LoadSettings((directory / "saved.dat").c_str()));
    EXPECT_FALSE(settings.useOutputDirectory);
    EXPECT_STREQ("-", settings.outputDirectory);
    EXPECT_STREQ("", settings.resizeModeText);
}

TEST_F(SettingsFileTest, NumberLinesReadTheirLeadingInteger)
{
    ASSERT_TRUE(LoadText("7\n 3 and more\n5x\nabc\n\n\n\n\n\n7\nZ:\\out\n0\n"));
    EXPECT_EQ(0, settings.language) << "no such language";
    EXPECT_EQ(3, settings.bmpDefaultOption);
    EXPECT_EQ(5, settings.jpgDefaultOption);
    EXPECT_EQ(0, settings.pbmDefaultOption);
    EXPECT_TRUE(settings.useOutputDirectory);
    EXPECT_FALSE(settings.deleteOriginal);
}

TEST_F(SettingsFileTest, LongDirectoryDoesNotShiftLaterLines)
{
    std::string longest(499, 'd');
    settings.useOutputDirectory = true;
    strcpy(settings.outputDirectory, longest.c_str());
    settings.deleteOriginal = true;
    settings.rotateEnabled = true;
    std::string text = SavedText();

    settings = ConversionSettings();
    ASSERT_TRUE(LoadSettings((directory / "saved.dat").c_str()));
    EXPECT_EQ(longest, settings.outputDirectory);
    EXPECT_TRUE(settings.deleteOriginal);
    EXPECT_TRUE(settings.rotateEnabled);
    EXPECT_EQ(1, settings.rotateDegrees);

    // Longer than the field: cut, and the rest of the line dropped.
    std::string tooLong = WithoutCarriageReturns(savedFile);
    tooLong.replace(tooLong.find("Z:\\tmp\\converted"), 16, std::string(700, 'e'));
    ASSERT_TRUE(LoadText(tooLong));
    EXPECT_EQ(std::string(499, 'e'), settings.outputDirectory);
    EXPECT_STREQ("Pixels", settings.resizeModeText);
    EXPECT_EQ(270, settings.rotateDegrees);
}

TEST_F(SettingsFileTest, ShortFileLeavesTheMissingFields)
{
    settings.resizeWidth = 33;
    strcpy(settings.rotateDirectionText, "Right");
    ASSERT_TRUE(LoadText("1\r\n2"));
    EXPECT_EQ(1, settings.language);
    EXPECT_EQ(2, settings.bmpDefaultOption);
    EXPECT_EQ(33, settings.resizeWidth);
    EXPECT_STREQ("Right", settings.rotateDirectionText);
}

TEST_F(SettingsFileTest, MissingFileIsReportedAndChangesNothing)
{
    settings.language = 2;
    settings.resizeWidth = 40;
    MessageBoxAnswerer answerer;
    EXPECT_FALSE(LoadSettings((directory / "config.dat").c_str()));
    ASSERT_EQ(1u, answerer.count());
    EXPECT_EQ("Error opening config file.", answerer.texts()[0]);
    EXPECT_EQ(2, settings.language);
    EXPECT_EQ(40, settings.resizeWidth);
    EXPECT_FALSE(FileExists(directory / "config.dat"));
}

TEST_F(SettingsFileTest, UnwritableFileIsReportedAndKeepsTheSizes)
{
    languageCaptions[0][CaptionSettingsUnwritable] = "Cannot save.";
    settings.resizeWidth = 0;
    MessageBoxAnswerer answerer;
    EXPECT_FALSE(SaveSettings((directory / "no such directory\\config.dat").c_str()));
    ASSERT_EQ(1u, answerer.count());
    EXPECT_EQ("Cannot save.", answerer.texts()[0]);
    EXPECT_EQ(0, settings.resizeWidth);
}

} // namespace
