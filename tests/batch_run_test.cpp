#include "tests/main_window_fixture.h"

#include <cstring>
#include <functional>
#include <utility>

#include "app/preferences_dialog.h"
#include "tests/images.h"
#include "ui/batch_run.h"
#include "ui/file_list.h"

namespace {

// What a run shows, and what the test does meanwhile. `atSecondRow` runs
// once, when the run asks for the second row: that file is then on its way.
struct Watched {
    std::vector<unsigned> positions;
    std::function<void()> atSecondRow;
    volatile bool logShown = false;
    std::string log;
} watched;

// Sees the messages sent on every thread. Keeps what the log window shows
// and closes it.
LRESULT CALLBACK Watch(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT& sent = *(CWPSTRUCT*)lParam;
    bool shown = sent.message == WM_SHOWWINDOW && sent.wParam && sent.hwnd != mainWindow;
    char text[2000] = "";
    if (sent.message == PBM_SETPOS) watched.positions.push_back((unsigned)sent.wParam);
    if (sent.message == LVM_GETITEMTEXTA && sent.wParam == 1 && watched.atSecondRow)
        std::exchange(watched.atSecondRow, nullptr)();
    if (shown && GetDlgItemTextA(sent.hwnd, IDC_LOG_TEXT, text, sizeof text)) {
        watched.log = text;
        watched.logShown = true;
        PostMessageA(sent.hwnd, WM_COMMAND, IDC_LOG_OK, 0);
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

class BatchRunTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        watched = {};
        Open();
    }

    void TearDown() override
    {
        WaitForRunEnd();
        UnhookWindowsHookEx(hook);
        MainWindowTest::TearDown();
    }

    // Pattern images a.png, b.png, ... in the list.
    Texts AddImages(int count)
    {
        Texts paths;
        for (char name = 'a'; name < 'a' + count; ++name) paths.push_back(files / (name + std::string(".png")));
        for (const std::string& path : paths) WritePatternImage(path, 32, 32, 24);
        for (const std::string& path : paths) AddFilesToList(path.c_str());
        return paths;
    }

    void WaitForRunEnd() { for (int i = 0; i < 3000 && BatchRunActive(); ++i) PumpMessages(10); }

    MessageBoxAnswerer boxes{IDNO}; // queued answers first
    TempDir files;
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, Watch, GetModuleHandleA(NULL), 0);
};

} // namespace

// ICO keeps each image's size: the resize switch, on at 0 by 0, neither stops
// the run nor changes the icons.
TEST_F(BatchRunTest, ConvertsEveryRowWithProgressAndASecondConvertOnlyAsksToStop)
{
    SetSwitch(IDC_RESIZE, true);
    ChooseFormat(FormatIco);
    AddImages(3);
    Command(IDC_CONVERT);
    Command(IDC_CONVERT); // before the run has begun: asks to stop (No), starts nothing
    WaitForRunEnd();
    EXPECT_EQ(boxes.texts(), (Texts{CaptionText(CaptionStopRun), CaptionText(CaptionAllConverted)}));
    EXPECT_EQ(watched.positions, (std::vector<unsigned>{0, 0, 33, 66, 100}));
    Bitmap icon = ReadImage(files / "c.ico");
    EXPECT_TRUE(icon && FreeImage_GetWidth(icon.get()) == 32 && FreeImage_GetHeight(icon.get()) == 32);
    EXPECT_EQ(Text(IDC_CONVERT), CaptionText(CaptionConvertItem));
    EXPECT_TRUE(Enabled(IDC_FORMAT) && Enabled(IDC_FILE_LIST) && Checked(IDC_RESIZE) && !Enabled(IDC_RESIZE));
}

// Two workers: both started files finish, no other starts.
TEST_F(BatchRunTest, AStopEndsTheRunAfterItsFilesAndTheSummaryAndLogCountTheFilesHandedOver)
{
    settings.workers = 2;
    Texts paths = AddImages(5);
    WriteFileBytes(paths[1], "no image here");
    // Pressed while the second file is on its way and answered Yes; pressed
    // again, Convert cannot start a run before the stopped one has ended.
    for (int answer : {IDYES, IDOK, IDYES}) boxes.Answer(answer);
    watched.atSecondRow = [this] { for (int i = 0; i < 2; ++i) Command(IDC_CONVERT); };
    Command(IDC_CONVERT);
    WaitForRunEnd();
    for (int i = 0; i < 300 && !watched.logShown; ++i) PumpMessages(10);
    EXPECT_EQ(boxes.texts(), (Texts{CaptionText(CaptionStopRun), "The previous conversion has not ended yet.",
                                    "caption 109\n\n1caption 111\n1caption 112"}));
    EXPECT_EQ(watched.log,
              "1caption 113\r\n1caption 114\r\n\r\n" + paths[1] + "\r\nError: Could not open the file\r\n\r\n");
    EXPECT_EQ(convertedCount + failedCount + conversionLog.size(), 0u) << "the next run counts from zero";
}

// Chosen while the second file starts, after it took its settings.
TEST_F(BatchRunTest, ADirectoryChosenDuringARunReachesTheFilesStartedAfterIt)
{
    settings.useOutputDirectory = true;
    lstrcpyA(settings.outputDirectory, "first\\");
    AddImages(3);
    watched.atSecondRow = [this] {
        HWND preferences = CreateDialogA(programInstance, MAKEINTRESOURCEA(IDD_PREFERENCES), window, PreferencesDialogProc);
        TakeChosenFolder(preferences, (files / "second").c_str());
        DestroyWindow(preferences);
    };
    Command(IDC_CONVERT);
    WaitForRunEnd();
    for (const char* name : {"first\\a.jpg", "first\\b.jpg", "second\\c.jpg"}) EXPECT_TRUE(FileExists(files / name));
}

TEST_F(BatchRunTest, ALanguageChosenDuringARunLeavesItsControlsLockedAndConvertAsTheStop)
{
    AddImages(3);
    std::string seen;
    watched.atSecondRow = [&] {
        Command(IDM_ENGLISH);
        seen = Text(IDC_CONVERT);
        for (int id : {IDC_FORMAT, IDC_OPTION, IDC_FILE_LIST, IDC_ADD_FILES, IDC_REMOVE_FILES, IDC_RESIZE, IDC_WIDTH,
                       IDC_HEIGHT, IDC_RESIZE_MODE, IDC_ROTATE, IDC_DEGREES, IDC_DIRECTION})
            if (Enabled(id)) seen += " " + std::to_string(id);
    };
    Command(IDC_CONVERT);
    WaitForRunEnd();
    EXPECT_EQ(seen, CaptionText(CaptionConverting)) << "the run's caption, then any control left enabled";
}
