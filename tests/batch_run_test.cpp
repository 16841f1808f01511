// The window's batch run: progress, stop, summary and counts.
#include "tests/main_window_fixture.h"

#include <cstring>
#include <functional>
#include <utility>

#include "engine/image_converter.h"
#include "platform/host_file.h"
#include "tests/images.h"
#include "ui/batch_run.h"
#include "ui/file_list.h"

namespace {

// What a run shows, and what the test does meanwhile. `atSecondRow` runs
// once, when the run shows the second row as the one being converted.
struct Watched {
    std::vector<unsigned> positions;
    std::function<void()> atSecondRow;
    volatile bool deletionShown = false, released = false;
    // The stop question, which releases the held run as it shows; and
    // whether it was still open when the summary showed (it is then closed).
    HWND stopQuestion = NULL;
    volatile bool releaseAtStopQuestion = false, questionOutlivedRun = false;
} watched;

// Sees the messages sent on every thread. Holds the run at the message about
// a source it could not delete (on the run's thread, in the middle of that
// file) until released, for 10 s at most.
LRESULT CALLBACK Watch(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT& sent = *(CWPSTRUCT*)lParam;
    bool shown = sent.message == WM_SHOWWINDOW && sent.wParam && sent.hwnd != mainWindow;
    char text[2000] = "";
    if (sent.message == PBM_SETPOS) watched.positions.push_back((unsigned)sent.wParam);
    if (sent.message == LVM_ENSUREVISIBLE && sent.wParam == 1 && watched.atSecondRow)
        std::exchange(watched.atSecondRow, nullptr)();
    if (shown && GetDlgItemTextA(sent.hwnd, 0xFFFF, text, sizeof text) && strcmp(text, CaptionText(CaptionNotDeleted).c_str()) == 0) {
        watched.deletionShown = true;
        for (int i = 0; i < 1000 && !watched.released; ++i) Sleep(10);
    }
    if (shown && text == CaptionText(CaptionStopRun)) {
        watched.stopQuestion = sent.hwnd;
        if (watched.releaseAtStopQuestion) watched.released = true;
    } else if (shown && strstr(text, CaptionText(CaptionAllConverted).c_str()) && IsWindowVisible(watched.stopQuestion)) {
        watched.questionOutlivedRun = true;
        PostMessageA(watched.stopQuestion, WM_COMMAND, IDNO, 0);
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

class BatchRunTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        boxes.Fallback(IDNO);
        watched = {};
        Open();
    }

    void TearDown() override
    {
        watched.released = true;
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

    // Asks the window how the list is to draw a row.
    bool Marked(int row) const
    {
        NMLVCUSTOMDRAW draw = {};
        draw.nmcd.hdr = {Item(IDC_FILE_LIST), IDC_FILE_LIST, (UINT)NM_CUSTOMDRAW};
        draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
        draw.nmcd.dwItemSpec = row;
        draw.clrTextBk = CLR_DEFAULT;
        SendMessageA(window, WM_NOTIFY, IDC_FILE_LIST, (LPARAM)&draw);
        return draw.clrTextBk == GetSysColor(COLOR_HIGHLIGHT);
    }
    UINT MenuState(int command) const { return GetMenuState(GetMenu(window), command, MF_BYCOMMAND); }

    TempDir files;
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, Watch, GetModuleHandleA(NULL), 0);
};

} // namespace

// ICO keeps each image's size: the resize switch, on at 0 by 0, neither stops
// the run nor changes the icons. A finished run with a failure says it
// finished, counts both and asks about the log.
TEST_F(BatchRunTest, ConvertsEveryRowWithProgressAndASecondConvertOnlyAsksToStop)
{
    SetSwitch(IDC_RESIZE, true);
    ChooseFormat(FormatIco);
    WriteFileBytes(AddImages(3)[0], "no image here");
    Command(IDC_CONVERT);
    Command(IDC_CONVERT); // before the run has begun: asks to stop (No), starts nothing
    WaitForRunEnd();
    EXPECT_EQ(boxes.texts(), (Texts{CaptionText(CaptionStopRun), "caption 110\n\n2caption 111\n1caption 112"}));
    EXPECT_EQ(watched.positions, (std::vector<unsigned>{0, 33, 66, 100}));
    Bitmap icon = ReadImage(files / "c.ico");
    EXPECT_TRUE(icon && FreeImage_GetWidth(icon.get()) == 32 && FreeImage_GetHeight(icon.get()) == 32);
    EXPECT_EQ(Text(IDC_CONVERT), CaptionText(CaptionConvertButton));
    EXPECT_TRUE(Enabled(IDC_FORMAT) && Enabled(IDC_FILE_LIST) && Checked(IDC_RESIZE) && !Enabled(IDC_RESIZE));
    EXPECT_FALSE(Marked(2) || Text(IDC_STATUS).size());
}

// Two workers: both files started finish, and no other starts.
TEST_F(BatchRunTest, AStoppedRunSaysSoWithItsCountsAndLeavesTheProgressWhereItStopped)
{
    settings.workers = 2;
    languageCaptions[0][CaptionFileOfCount] = "file %1 of %2: %3";
    languageCaptions[0][CaptionStoppedCounts] = "%1 converted, %2 failed, %3 not started";
    Texts paths = AddImages(5);
    WriteFileBytes(paths[1], "no image here");
    // Stop is pressed while the second file is on its way and answered Yes;
    // pressed again, Convert cannot start a run before the stopped one has ended.
    for (int answer : {IDYES, IDOK, IDYES}) boxes.Answer(answer);
    std::string during, stopping;
    watched.atSecondRow = [&] {
        during = Text(IDC_STATUS) + " | " + Text(IDC_CONVERT) + " | " + AskedTip(IDC_CONVERT) +
                 (Marked(1) && !Marked(0) ? " | marked" : "");
        Command(IDC_CONVERT);
        stopping = Text(IDC_CONVERT) + (Enabled(IDC_CONVERT) || !(MenuState(IDM_CONVERT) & MF_GRAYED) ? " enabled" : "");
        Command(IDC_CONVERT);
    };
    Command(IDC_CONVERT);
    WaitForRunEnd();
    WaitFor([&] { return boxes.texts().size() == 4; }, "the log window");
    EXPECT_EQ(during, "file 2 of 5: b.png | " + CaptionText(CaptionStopCommand) + " | " + CaptionText(CaptionStopTip) +
                          " | marked");
    EXPECT_EQ(stopping, CaptionText(CaptionStopping));
    EXPECT_EQ(boxes.texts(), (Texts{CaptionText(CaptionStopRun), CaptionText(CaptionPreviousRunActive),
                                    CaptionText(CaptionRunStopped) + "\n\n1 converted, 1 failed, 3 not started\n\n" +
                                        CaptionText(CaptionLogQuestion),
                                    "[caption 174] 1caption 113\r\n1caption 114\r\n\r\n" + Logged(paths[1]) +
                                        CaptionText(CaptionFailureKinds + OpenFailed) + "\r\n\r\n"}));
    EXPECT_EQ(watched.positions, (std::vector<unsigned>{0, 20, 40}));
    EXPECT_EQ(SendMessageA(Item(IDC_PROGRESS), PBM_GETPOS, 0, 0), 40);
    EXPECT_TRUE(Enabled(IDC_CONVERT) && !(MenuState(IDM_CONVERT) & MF_GRAYED));
    EXPECT_EQ(convertedCount + failedCount + conversionLog.size(), 0u) << "the next run counts from zero";
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
    EXPECT_EQ(seen, CaptionText(CaptionStopCommand)) << "the run's caption, then any control left enabled";
    EXPECT_EQ(boxes.texts(), Texts{CaptionText(CaptionAllConverted)});
}

// With deletion on: a source in use, a plain one, one of three pictures and a
// cut-off photo. A stop question asked while the run is held at the first
// file and left open goes as the run's files end, before the summary, which
// offers the notes of the two kept sources; the deleted source's row leaves
// the list.
TEST_F(BatchRunTest, KeptSourcesAreNotedDeletedOnesLeaveTheListAndAnOpenStopQuestionGoesWithTheRun)
{
    settings.workers = 1;
    settings.deleteOriginal = true;
    languageCaptions[0][CaptionNotedCount] = "%1 noted";
    Texts paths = AddImages(2);
    paths.push_back(files / "pages.gif");
    paths.push_back(files / "cut.jpg");
    ASSERT_TRUE(WriteThreePictures(paths[2], FIF_GIF) && WriteCutOffJpeg(paths[3]));
    for (size_t i = 2; i < 4; ++i) AddFilesToList(paths[i].c_str());
    HANDLE inUse = CreateFileA(paths[0].c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    // The message about the source in use is answered as it shows, before the hold.
    for (int answer : {IDOK, MessageBoxAnswerer::Leave, IDYES}) boxes.Answer(answer);
    watched.releaseAtStopQuestion = true;
    Command(IDC_CONVERT);
    for (int i = 0; i < 3000 && !watched.deletionShown; ++i) PumpMessages(10);
    PostMessageA(window, WM_COMMAND, IDC_CONVERT, (LPARAM)Item(IDC_CONVERT));
    WaitForRunEnd();
    CloseHandle(inUse);
    WaitFor([&] { return boxes.texts().size() == 4; }, "the log window");

    EXPECT_FALSE(watched.questionOutlivedRun);
    Texts shown = boxes.texts();
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[0], CaptionText(CaptionNotDeleted));
    EXPECT_EQ(shown[1], CaptionText(CaptionStopRun));
    EXPECT_EQ(shown[2], CaptionText(CaptionAllConverted) + "\n\n2 noted");
    EXPECT_EQ(shown[3], "[" + CaptionText(CaptionLogTitle) + "] 4caption 113\r\n0caption 114\r\n\r\n" +
                            DisplayPath(paths[2]) + "\r\ncaption 262\r\n\r\n" + DisplayPath(paths[3]) +
                            "\r\ncaption 260\r\ncaption 261\r\n\r\n");
    EXPECT_EQ(Rows(), (Texts{paths[0], paths[2], paths[3]}));
    EXPECT_EQ(fileCount, 3u);
}
