#include "tests/main_window_fixture.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <string>
#include <vector>

#include "app/preferences_dialog.h"
#include "engine/convert_file.h"
#include "tests/images.h"
#include "ui/batch_run.h"
#include "ui/file_list.h"

namespace {

// Controls a run disables, in the order the window lists them.
const int lockedControls[] = {IDC_FORMAT, IDC_OPTION, IDC_FILE_LIST, IDC_ADD_FILES, IDC_REMOVE_FILES, IDC_RESIZE,
                              IDC_WIDTH, IDC_HEIGHT, IDC_RESIZE_MODE, IDC_ROTATE, IDC_DEGREES, IDC_DIRECTION};

// What the window looked like while the run was going, seen from its
// progress bar.
std::vector<unsigned> positions;
std::vector<bool> enabledDuringRun;
std::string convertTextDuringRun;
WNDPROC progressProc = NULL;

LRESULT CALLBACK WatchProgress(HWND bar, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == PBM_SETPOS) {
        if (positions.empty()) {
            HWND window = GetParent(bar);
            for (int id : lockedControls) enabledDuringRun.push_back(IsWindowEnabled(GetDlgItem(window, id)));
            enabledDuringRun.push_back(IsWindowEnabled(GetDlgItem(window, IDC_CONVERT)));
            char text[100] = "";
            GetDlgItemTextA(window, IDC_CONVERT, text, sizeof text);
            convertTextDuringRun = text;
        }
        positions.push_back((unsigned)wParam);
    }
    return CallWindowProcA(progressProc, bar, message, wParam, lParam);
}

// Runs `atSecondRow` once, when the run reads the second row of the list:
// that file is then on its way.
WNDPROC listProc = NULL;
void (*atSecondRow)() = NULL;

LRESULT CALLBACK WatchList(HWND list, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = CallWindowProcA(listProc, list, message, wParam, lParam);
    if (message == LVM_GETITEMTEXTA && wParam == 1 && conversionRunning && atSecondRow) {
        void (*action)() = atSecondRow;
        atSecondRow = NULL;
        action();
    }
    return result;
}

// Closes the log window as soon as it is active (on the run's thread),
// keeping what it showed.
std::string shownLog;
int logWindowsShown = 0;
LRESULT CALLBACK CloseLogWindow(int code, WPARAM wParam, LPARAM lParam)
{
    HWND window = (HWND)wParam;
    if (code == HCBT_ACTIVATE && window != mainWindow && GetDlgItem(window, IDC_LOG_TEXT) &&
        (GetWindowLongA(GetDlgItem(window, IDC_LOG_TEXT), GWL_STYLE) & ES_MULTILINE)) {
        char text[20000] = "";
        GetDlgItemTextA(window, IDC_LOG_TEXT, text, sizeof text);
        shownLog = text;
        ++logWindowsShown;
        PostMessageA(window, WM_COMMAND, IDC_LOG_OK, 0);
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

class BatchRunTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        positions.clear();
        enabledDuringRun.clear();
        convertTextDuringRun.clear();
        shownLog.clear();
        logWindowsShown = 0;
        atSecondRow = NULL;
        logHook = SetWindowsHookExA(WH_CBT, CloseLogWindow, GetModuleHandleA(NULL), 0);
    }

    void TearDown() override
    {
        WaitForRunEnd();
        UnhookWindowsHookEx(logHook);
        convertedCount = failedCount = 0;
        conversionLog.clear();
        logWindowText.clear();
        MainWindowTest::TearDown();
    }

    void OpenWatched()
    {
        Open();
        progressProc = (WNDPROC)SetWindowLongPtrA(Item(IDC_PROGRESS), GWLP_WNDPROC, (LONG_PTR)WatchProgress);
        listProc = (WNDPROC)SetWindowLongPtrA(Item(IDC_FILE_LIST), GWLP_WNDPROC, (LONG_PTR)WatchList);
    }

    // Pattern images named a.png, b.png, ... in the test's folder; a name in
    // `broken` gets bytes no decoder takes. Each is added to the list.
    std::vector<std::string> AddImages(int count, const std::string& broken = "")
    {
        std::vector<std::string> paths;
        for (int i = 0; i < count; ++i) {
            std::string path = files / (std::string(1, (char)('a' + i)) + ".png");
            if (path == files / broken) WriteFileBytes(path, "no image here");
            else EXPECT_TRUE(WritePatternImage(path, 32, 32, 24));
            AddFilesToList(path.c_str());
            paths.push_back(path);
        }
        EXPECT_EQ(fileCount, (unsigned)count);
        return paths;
    }

    // Lets the run end; a log window it opens is closed by the hook.
    void WaitForRunEnd()
    {
        for (int i = 0; i < 3000 && BatchRunActive(); ++i) PumpMessages(10);
    }

    void WaitForLogWindow(int count)
    {
        for (int i = 0; i < 3000 && logWindowsShown < count; ++i) PumpMessages(10);
    }

    std::string MenuText(int command) const
    {
        char text[100] = "";
        GetMenuStringA(GetMenu(window), command, text, sizeof text, MF_BYCOMMAND);
        return text;
    }

    void ExpectIdleWindow()
    {
        EXPECT_FALSE(conversionRunning);
        EXPECT_EQ(Text(IDC_CONVERT), "caption 8");
        EXPECT_EQ(MenuText(IDM_CONVERT), "caption 8");
        for (int id : {IDC_FORMAT, IDC_FILE_LIST, IDC_ADD_FILES, IDC_REMOVE_FILES, IDC_ROTATE})
            EXPECT_TRUE(Enabled(id)) << id;
        EXPECT_EQ(convertedCount, 0u);
        EXPECT_EQ(failedCount, 0u);
        EXPECT_EQ(conversionLog, "");
    }

    TempDir files;
    HHOOK logHook = NULL;
};

// The report of one file as the engine writes it into the log.
std::string FailureReportOf(const std::string& path)
{
    ConvertFile(path.c_str(), false, 0, 0, 0, false, 0, 0);
    std::string report = conversionLog;
    convertedCount = failedCount = 0;
    conversionLog.clear();
    return report;
}

} // namespace

TEST_F(BatchRunTest, ConvertsEveryRowWithProgressThenSaysAllWereConverted)
{
    MessageBoxAnswerer boxes;
    OpenWatched();
    std::vector<std::string> paths = AddImages(3);
    Command(IDC_CONVERT);
    WaitForRunEnd();

    EXPECT_EQ(positions, (std::vector<unsigned>{0, 0, 33, 66, 100}));
    std::vector<bool> onlyConvertEnabled(12, false);
    onlyConvertEnabled.push_back(true);
    EXPECT_EQ(enabledDuringRun, onlyConvertEnabled);
    EXPECT_EQ(convertTextDuringRun, "caption 109");
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{"caption 115"});
    EXPECT_EQ(boxes.titles(), std::vector<std::string>{"Bramblewick"});
    EXPECT_EQ(logWindowsShown, 0);
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) EXPECT_TRUE(FileExists(files / name)) << name;
    for (const std::string& path : paths) EXPECT_TRUE(FileExists(path));
    ExpectIdleWindow();
    EXPECT_TRUE(Enabled(IDC_OPTION));
    EXPECT_FALSE(Enabled(IDC_WIDTH));
    EXPECT_FALSE(Enabled(IDC_DEGREES));
}

TEST_F(BatchRunTest, OneFailureOfThreeIsCountedOfferedInTheLogAndForgottenAfter)
{
    MessageBoxAnswerer boxes;
    OpenWatched();
    std::vector<std::string> paths = AddImages(3, "b.png");
    std::string report = FailureReportOf(paths[1]);
    ASSERT_EQ(report.rfind(paths[1] + "\r\nError: ", 0), 0u);

    boxes.Answer(IDYES);
    Command(IDC_CONVERT);
    WaitForRunEnd();
    WaitForLogWindow(1);
    const std::string summary = "caption 109\n\n2caption 111\n1caption 112";
    ASSERT_EQ(boxes.texts(), std::vector<std::string>{summary});
    EXPECT_EQ(logWindowsShown, 1);
    EXPECT_EQ(shownLog, "2caption 113\r\n1caption 114\r\n\r\n" + report);
    ExpectIdleWindow();

    // The next run counts from zero; No opens nothing.
    boxes.Answer(IDNO);
    Command(IDC_CONVERT);
    WaitForRunEnd();
    EXPECT_EQ(boxes.texts(), (std::vector<std::string>{summary, summary}));
    EXPECT_EQ(logWindowsShown, 1);
    EXPECT_TRUE(FileExists(files / "a_1.jpg"));
    ExpectIdleWindow();
}

TEST_F(BatchRunTest, AStopDuringTheSecondFileEndsTheRunAfterIt)
{
    MessageBoxAnswerer boxes;
    OpenWatched();
    AddImages(5, "b.png");
    // Convert pressed while the second file is on its way, answered Yes;
    // pressed again, it cannot start a run before this one has ended.
    boxes.Answer(IDYES);
    boxes.Answer(IDOK);
    boxes.Answer(IDNO);
    atSecondRow = [] {
        SendMessageA(mainWindow, WM_COMMAND, IDC_CONVERT, 0);
        SendMessageA(mainWindow, WM_COMMAND, IDC_CONVERT, 0);
    };
    Command(IDC_CONVERT);
    WaitForRunEnd();

    EXPECT_EQ(boxes.texts(), (std::vector<std::string>{"caption 104", "The previous conversion has not ended yet.",
                                                       "caption 109\n\n1caption 111\n1caption 112"}));
    EXPECT_EQ(positions, (std::vector<unsigned>{0, 0, 20, 100}));
    EXPECT_TRUE(FileExists(files / "a.jpg"));
    for (const char* name : {"c.jpg", "d.jpg", "e.jpg"}) EXPECT_FALSE(FileExists(files / name)) << name;
    ExpectIdleWindow();
}

TEST_F(BatchRunTest, RowsAddedDuringARunAreConvertedByIt)
{
    MessageBoxAnswerer boxes;
    OpenWatched();
    AddImages(2);
    static std::string added;
    added = files / "late.png";
    ASSERT_TRUE(WritePatternImage(added, 8, 8, 24));
    atSecondRow = [] { AddFilesToList(added.c_str()); };
    Command(IDC_CONVERT);
    WaitForRunEnd();

    EXPECT_EQ(fileCount, 3u);
    EXPECT_TRUE(FileExists(files / "late.jpg"));
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{"caption 115"});
    // The later row lowers the share each file stands for.
    EXPECT_EQ(positions, (std::vector<unsigned>{0, 0, 50, 66, 100}));
}

TEST_F(BatchRunTest, IcoRunsWithoutResizingAndPngKeepsItsOptionSelectorDisabled)
{
    MessageBoxAnswerer boxes;
    OpenWatched();
    SetSwitch(IDC_RESIZE, true);
    SetDlgItemTextA(window, IDC_WIDTH, "50");
    SetDlgItemTextA(window, IDC_HEIGHT, "50");
    ChooseFormat(FormatIco);
    AddImages(1);
    Command(IDC_CONVERT);
    WaitForRunEnd();

    Bitmap icon = ReadImage(files / "a.ico");
    ASSERT_TRUE(icon);
    EXPECT_EQ(FreeImage_GetWidth(icon.get()), 32u);
    EXPECT_EQ(FreeImage_GetHeight(icon.get()), 32u);
    EXPECT_TRUE(settings.resizeEnabled);
    EXPECT_TRUE(Checked(IDC_RESIZE));
    EXPECT_FALSE(Enabled(IDC_RESIZE));
    EXPECT_FALSE(Enabled(IDC_WIDTH));
    EXPECT_FALSE(Enabled(IDC_OPTION));
    ExpectIdleWindow();

    ChooseFormat(FormatPng);
    EXPECT_TRUE(Enabled(IDC_WIDTH));
    Command(IDC_CONVERT);
    WaitForRunEnd();
    Bitmap halved = ReadImage(files / "a_1.png");
    ASSERT_TRUE(halved);
    EXPECT_EQ(FreeImage_GetWidth(halved.get()), 16u);
    EXPECT_FALSE(Enabled(IDC_OPTION));
    EXPECT_TRUE(Enabled(IDC_RESIZE));
    EXPECT_TRUE(Enabled(IDC_WIDTH));
    EXPECT_EQ(boxes.texts(), (std::vector<std::string>{"caption 115", "caption 115"}));
    ExpectIdleWindow();
}

TEST_F(BatchRunTest, ASecondConvertBeforeTheRunGoesAsksToStopInsteadOfStartingAnother)
{
    MessageBoxAnswerer boxes;
    OpenWatched();
    AddImages(1);
    boxes.Answer(IDNO);
    Command(IDC_CONVERT);
    EXPECT_TRUE(conversionRunning);
    Command(IDC_CONVERT);
    WaitForRunEnd();

    std::vector<std::string> texts = boxes.texts();
    std::sort(texts.begin(), texts.end());
    EXPECT_EQ(texts, (std::vector<std::string>{"caption 104", "caption 115"}));
    EXPECT_TRUE(FileExists(files / "a.jpg"));
    EXPECT_FALSE(FileExists(files / "a_1.jpg"));
}

namespace {

// Leaves the deletion-failure message open for the test to answer; answers
// every other message box with OK.
std::atomic<HWND> deletionBox{NULL};
LRESULT CALLBACK KeepDeletionBoxOpen(int code, WPARAM wParam, LPARAM lParam)
{
    HWND box = (HWND)wParam;
    char className[32] = "";
    GetClassNameA(box, className, sizeof className);
    if (code == HCBT_ACTIVATE && strcmp(className, "#32770") == 0 && GetDlgItem(box, 0xFFFF)) {
        char text[4096] = "";
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
        if (strstr(text, "could not delete")) deletionBox = box;
        else PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

bool deletionAnswered = false;
void CALLBACK AnswerDeletionBox(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(NULL, timer);
    deletionAnswered = true;
    PostMessageA(deletionBox, WM_COMMAND, IDOK, 0);
}

} // namespace

TEST_F(BatchRunTest, ADirectoryChosenWhileAFileConvertsReachesOnlyTheFilesAfterIt)
{
    deletionBox = NULL;
    deletionAnswered = false;
    HHOOK hook = SetWindowsHookExA(WH_CBT, KeepDeletionBoxOpen, GetModuleHandleA(NULL), 0);
    OpenWatched();
    settings.useOutputDirectory = true;
    lstrcpyA(settings.outputDirectory, "first\\");
    settings.deleteOriginal = true;
    std::vector<std::string> paths = AddImages(3);
    // The second source is in use: its deletion fails, and the run waits for
    // the user while that file is still on its way.
    HANDLE inUse = CreateFileA(paths[1].c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(inUse, INVALID_HANDLE_VALUE);
    Command(IDC_CONVERT);
    for (int i = 0; i < 3000 && !deletionBox; ++i) PumpMessages(10);
    ASSERT_TRUE(deletionBox);
    EXPECT_EQ(GetWindow(deletionBox, GW_OWNER), window);

    HWND preferences = CreateDialogParamA(programInstance, MAKEINTRESOURCEA(IDD_PREFERENCES), window,
                                          PreferencesDialogProc, 0);
    SetTimer(NULL, 0, 200, AnswerDeletionBox);
    TakeChosenFolder(preferences, (files / "second").c_str());
    EXPECT_TRUE(deletionAnswered) << "the directory changed only after the file";
    EXPECT_TRUE(IsWindowEnabled(preferences));
    DestroyWindow(preferences);
    dialogWindow = window;
    CloseHandle(inUse);
    WaitForRunEnd();
    UnhookWindowsHookEx(hook);

    EXPECT_TRUE(FileExists(files / "first\\a.jpg"));
    EXPECT_TRUE(FileExists(files / "first\\b.jpg"));
    EXPECT_TRUE(FileExists(files / "second\\c.jpg"));
    EXPECT_FALSE(FileExists(files / "first\\c.jpg"));
    EXPECT_FALSE(FileExists(paths[0]));
    EXPECT_TRUE(FileExists(paths[1]));
    ExpectIdleWindow();
}

TEST_F(BatchRunTest, ALanguageChosenDuringARunLeavesItsControlsLockedAndConvertAsTheStop)
{
    MessageBoxAnswerer boxes;
    OpenWatched();
    AddImages(3);
    static std::string convertText;
    static std::vector<bool> enabled;
    convertText.clear();
    enabled.clear();
    atSecondRow = [] {
        SendMessageA(mainWindow, WM_COMMAND, IDM_ENGLISH, 0);
        char text[100] = "";
        GetDlgItemTextA(mainWindow, IDC_CONVERT, text, sizeof text);
        convertText = text;
        for (int id : lockedControls) enabled.push_back(IsWindowEnabled(GetDlgItem(mainWindow, id)));
    };
    Command(IDC_CONVERT);
    WaitForRunEnd();

    EXPECT_EQ(convertText, "caption 109");
    EXPECT_EQ(enabled, std::vector<bool>(sizeof lockedControls / sizeof lockedControls[0], false));
    EXPECT_TRUE(FileExists(files / "c.jpg"));
    ExpectIdleWindow();
}
