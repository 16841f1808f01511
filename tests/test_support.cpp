// The process-state fixture, message-box answerer, temporary folders and literal tables the tests share.
#include "tests/test_support.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fstream>
#include <mutex>

#include "app/startup.h"
#include "engine/convert_file.h"
#include "lang/caption_numbers.h"
#include "lang/language_file.h"
#include "platform/host_file.h"
#include "platform/message_box.h"
#include "platform/user_files.h"
#include "res/resource.h"
#include "ui/batch_run.h"
#include "ui/main_window.h"

namespace {

std::mutex answerLock;
std::deque<int> answers;
int fallbackAnswer = IDOK;
Texts shownTexts;
size_t seenTexts = 0;
HHOOK answerHook = NULL;

// A message box is a #32770 dialog with its text in static 0xFFFF; the log
// window is closed as soon as it shows. A box with another title than the
// program's is recorded so that the test sees it.
LRESULT CALLBACK AnswerHook(int code, WPARAM wParam, LPARAM lParam)
{
    HWND box = (HWND)wParam;
    char className[32] = "", title[256] = "", text[4096] = "";
    if (code == HCBT_ACTIVATE && GetClassNameA(box, className, sizeof className) && strcmp(className, "#32770") == 0 &&
        GetWindowTextA(box, title, sizeof title) >= 0) {
        bool log = strcmp(title, Caption(CaptionLogTitle)) == 0;
        if (!log && !GetDlgItem(box, 0xFFFF)) return CallNextHookEx(NULL, code, wParam, lParam);
        GetDlgItemTextA(box, log ? IDC_LOG_TEXT : 0xFFFF, text, sizeof text);
        std::lock_guard<std::mutex> guard(answerLock);
        shownTexts.push_back(strcmp(title, "Bramblewick") == 0 ? text : std::string("[") + title + "] " + text);
        int answer = log ? IDC_LOG_OK : answers.empty() ? fallbackAnswer : answers.front();
        if (!log && !answers.empty()) answers.pop_front();
        if (answer == MessageBoxAnswerer::Leave) return CallNextHookEx(NULL, code, wParam, lParam);
        if (answer != MessageBoxAnswerer::Enter && !GetDlgItem(box, answer)) answer = GetDlgItem(box, IDNO) ? IDNO : IDOK;
        if (answer == MessageBoxAnswerer::Enter) PostMessageA(box, WM_KEYDOWN, VK_RETURN, 0);
        else PostMessageA(box, WM_COMMAND, answer, 0);
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

} // namespace

TempDir::TempDir()
{
    char pattern[] = "/tmp/bramblewick-test-XXXXXX";
    hostPath = mkdtemp(pattern);
    InputWindowsPath(hostPath, windowsPath);
}

TempDir::~TempDir()
{
    std::string command = "rm -rf '" + hostPath + "'";
    if (system(command.c_str()) != 0) fprintf(stderr, "could not remove %s\n", hostPath.c_str());
}

bool FileExists(const std::string& windowsPath)
{
    return GetFileAttributesA(windowsPath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadFileBytes(const std::string& windowsPath)
{
    std::ifstream file(HostPath(windowsPath.c_str()), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

void WriteFileBytes(const std::string& windowsPath, const std::string& bytes)
{
    std::ofstream(HostPath(windowsPath.c_str()), std::ios::binary) << bytes;
}

MessageBoxAnswerer::MessageBoxAnswerer(int fallback)
{
    std::lock_guard<std::mutex> guard(answerLock);
    answers.clear();
    shownTexts.clear();
    seenTexts = 0;
    fallbackAnswer = fallback;
    answerHook = SetWindowsHookExA(WH_CBT, AnswerHook, GetModuleHandleA(NULL), 0);
}

MessageBoxAnswerer::~MessageBoxAnswerer()
{
    UnhookWindowsHookEx(answerHook);
}

void MessageBoxAnswerer::Answer(int button)
{
    std::lock_guard<std::mutex> guard(answerLock);
    answers.push_back(button);
}

void MessageBoxAnswerer::Fallback(int button)
{
    std::lock_guard<std::mutex> guard(answerLock);
    fallbackAnswer = button;
}

Texts MessageBoxAnswerer::texts()
{
    std::lock_guard<std::mutex> guard(answerLock);
    seenTexts = shownTexts.size();
    return shownTexts;
}

Texts MessageBoxAnswerer::Take()
{
    std::lock_guard<std::mutex> guard(answerLock);
    Texts unseen(shownTexts.begin() + seenTexts, shownTexts.end());
    seenTexts = shownTexts.size();
    return unseen;
}

void PumpMessages(DWORD milliseconds)
{
    MSG message;
    for (DWORD end = GetTickCount() + milliseconds; (LONG)(end - GetTickCount()) > 0; Sleep(5)) {
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }
}

bool WaitFor(const std::function<bool()>& done, const char* what, DWORD milliseconds)
{
    for (DWORD start = GetTickCount(); !done(); PumpMessages(10))
        if (GetTickCount() - start > milliseconds) {
            ADD_FAILURE() << "waited " << milliseconds << " ms for " << what;
            return false;
        }
    return true;
}

const KnownFormat knownFormats[12] = {
    {"JPG - JPEG/JIFF Image (*.jpg)", "jpg", 3, {27, 28, 29, 30, 31}, &ConversionSettings::jpgDefaultOption},
    {"BMP - Windows or OS/2 Bitmap (*.bmp)", "bmp", 1, {35, 36}, &ConversionSettings::bmpDefaultOption},
    {"TGA - Truevision Targa (*.tga)", "tga", 0, {}, nullptr},
    {"PNG - Portable Network Graphics (*.png)", "png", 0, {}, nullptr},
    {"PBM - Portable Bitmap Graphic (*.pbm)", "pbm", 8, {33, 34}, &ConversionSettings::pbmDefaultOption},
    {"PGM - Portable Graymap Graphic (*.pgm)", "pgm", 8, {33, 34}, &ConversionSettings::pgmDefaultOption},
    {"PPM - Portable Pixelmap Graphic (*.ppm)", "ppm", 8, {33, 34}, &ConversionSettings::ppmDefaultOption},
    {"TIF - Tagged Image Format File (*.tif)", "tif", 10, {37, 38, 39, 40, 41, 42, 43, 44},
     &ConversionSettings::tifDefaultOption},
    {"WBMP - Wireless Bitmap (*.wbmp)", "wbmp", 18, {45, 46, 47, 48, 49, 50, 51, 52, 53, 54},
     &ConversionSettings::wbmpDefaultOption},
    {"XPM - X Windows Pixmap (*.xpm)", "xpm", 28, {55, 56}, &ConversionSettings::xpmDefaultOption},
    {"ICO - Windows Icon (*.ico)", "ico", 0, {}, nullptr},
    {"GIF - CompuServe Graphics Interchange (*.gif)", "gif", 0, {}, nullptr},
};

std::string Logged(const std::string& windowsPath)
{
    return DisplayPath(windowsPath) + "\r\n" + CaptionText(CaptionErrorLabel) + " ";
}

ProcessStateTest::ProcessStateTest()
    : savedSettings(settings), savedCaptions(&languageCaptions[0][0], &languageCaptions[0][0] + languageCount * captionCount),
      savedModuleDirectory(moduleDirectory)
{
    for (int k = 0; k < captionCount; ++k) {
        languageCaptions[0][k] = CaptionText(k);
        languageCaptions[1][k] = languageCaptions[2][k] = "";
    }
    for (int format = 1; format <= 12; ++format) languageCaptions[0][CaptionFormatNames + format] = knownFormats[format - 1].name;
    settings = ConversionSettings{};
    for (const KnownFormat& format : knownFormats)
        if (format.remembered) settings.*format.remembered = format.firstOption;
    lstrcpynA(moduleDirectory, directory.path().c_str(), sizeof moduleDirectory);
    SetEnvironmentVariableA(userDirectoryVariable, directory.path().c_str());
}

Texts ProcessStateTest::SavedLines() const
{
    Texts lines;
    std::string bytes = ReadFileBytes(settingsFile);
    for (size_t start = 0, end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(bytes.substr(start, end - start));
    return lines;
}

void ProcessStateTest::TearDown()
{
    WaitFor([] { return !BatchRunActive(); }, "the batch run to end");
    EXPECT_EQ(boxes.Take(), Texts()) << "message boxes the test did not look at";
}

ProcessStateTest::~ProcessStateTest()
{
    mainWindow = dialogWindow = NULL;
    conversionRunning = advancedMode = false;
    fileCount = convertedCount = failedCount = notedCount = 0;
    savedCommandLine = CommandLine();
    conversionLog = logWindowText = "";
    settings = savedSettings;
    std::copy(savedCaptions.begin(), savedCaptions.end(), &languageCaptions[0][0]);
    lstrcpynA(moduleDirectory, savedModuleDirectory.c_str(), sizeof moduleDirectory);
    SetEnvironmentVariableA(userDirectoryVariable, NULL);
}
