// The window's batch run: progress, stop, summary and counts.
#include "tests/main_window_fixture.h"

#include <cstring>
#include <functional>
#include <utility>

#include "engine/image_converter.h"
#include "tests/images.h"
#include "ui/batch_run.h"

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

    // The text a tip that asks for its text gets from the window.
    std::string AskedTip(int id) const
    {
        NMTTDISPINFOA info = {};
        info.hdr = {Item(id), (UINT_PTR)Item(id), (UINT)TTN_GETDISPINFOA};
        SendMessageA(window, WM_NOTIFY, 0, (LPARAM)&info);
        return info.lpszText ? info.lpszText : "";
    }

    void WaitForRunEnd() { for (int i = 0; i < 3000 && BatchRunActive(); ++i) PumpMessages(10); }

    TempDir files;
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, Watch, GetModuleHandleA(NULL), 0);
};

} // namespace

// ICO keeps each image's size: the resize switch, on at 0 by 0, does not
// stop the run. Two workers: both files started finish, and no other starts.
TEST_F(BatchRunTest, AStoppedRunSaysSoWithItsCountsAndLeavesTheProgressWhereItStopped)
{
    settings.workers = 2;
    languageCaptions[0][CaptionStoppedCounts] = "%1 converted, %2 failed, %3 not started";
    SetSwitch(IDC_RESIZE, true);
    ChooseFormat(FormatIco);
    Texts paths = AddImages(5);
    WriteFileBytes(paths[1], "no image here");
    // Stop is pressed while the second file is on its way, and answered Yes.
    boxes.Fallback(IDYES);
    std::string tip;
    watched.atSecondRow = [&] {
        tip = AskedTip(IDC_CONVERT);
        Command(IDC_CONVERT);
    };
    Command(IDC_CONVERT);
    WaitForRunEnd();
    WaitFor([&] { return boxes.texts().size() == 3; }, "the log window");
    EXPECT_EQ(tip, CaptionText(CaptionStopTip));
    EXPECT_EQ(boxes.texts(), (Texts{CaptionText(CaptionStopRun),
                                    CaptionText(CaptionRunStopped) + "\n\n1 converted, 1 failed, 3 not started\n\n" +
                                        CaptionText(CaptionLogQuestion),
                                    "[caption 174] 1caption 113\r\n1caption 114\r\n\r\n" + Logged(paths[1]) +
                                        CaptionText(CaptionFailureKinds + OpenFailed) + "\r\n\r\n"}));
    EXPECT_EQ(watched.positions, (std::vector<unsigned>{0, 20, 40}));
}

// With deletion on, a source in use is kept. A stop question asked while the
// run is held at that file and left open goes as the run's files end, before
// the summary; the deleted source's row leaves the list.
TEST_F(BatchRunTest, AKeptSourceStaysInTheListAndAnOpenStopQuestionGoesWithTheRun)
{
    settings.workers = 1;
    settings.deleteOriginal = true;
    Texts paths = AddImages(2);
    HANDLE inUse = CreateFileA(paths[0].c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    // The message about the source in use is answered as it shows, before the hold.
    for (int answer : {IDOK, MessageBoxAnswerer::Leave}) boxes.Answer(answer);
    watched.releaseAtStopQuestion = true;
    Command(IDC_CONVERT);
    for (int i = 0; i < 3000 && !watched.deletionShown; ++i) PumpMessages(10);
    PostMessageA(window, WM_COMMAND, IDC_CONVERT, (LPARAM)Item(IDC_CONVERT));
    WaitForRunEnd();
    CloseHandle(inUse);
    EXPECT_FALSE(watched.questionOutlivedRun);
    EXPECT_EQ(boxes.texts(), (Texts{CaptionText(CaptionNotDeleted), CaptionText(CaptionStopRun),
                                    CaptionText(CaptionAllConverted)}));
    EXPECT_EQ(Rows(), Texts{paths[0]});
}
