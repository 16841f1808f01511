#include "tests/test_support.h"

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>

#include "platform/host_file.h"

namespace {

std::mutex answerLock;
std::deque<int> answers;
int fallbackAnswer = IDOK;
std::vector<std::string> shownTexts;
HHOOK answerHook = NULL;

// A message box is a #32770 dialog with its text in static 0xFFFF. A box with
// another title than the program's is recorded so that the test sees it.
LRESULT CALLBACK AnswerHook(int code, WPARAM wParam, LPARAM lParam)
{
    HWND box = (HWND)wParam;
    char className[32] = "";
    if (code == HCBT_ACTIVATE && GetClassNameA(box, className, sizeof className) &&
        strcmp(className, "#32770") == 0 && GetDlgItem(box, 0xFFFF)) {
        char text[4096] = "", title[256] = "";
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
        GetWindowTextA(box, title, sizeof title);
        std::lock_guard<std::mutex> guard(answerLock);
        shownTexts.push_back(strcmp(title, "Bramblewick") == 0 ? text : std::string("[") + title + "] " + text);
        int answer = answers.empty() ? fallbackAnswer : answers.front();
        if (!answers.empty()) answers.pop_front();
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

std::string TempDir::operator/(const std::string& name) const
{
    return windowsPath + "\\" + name;
}

bool FileExists(const std::string& windowsPath)
{
    return GetFileAttributesA(windowsPath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadFileBytes(const std::string& windowsPath)
{
    std::string bytes;
    FILE* file = OpenHostFile(windowsPath.c_str(), "rb");
    if (!file) return bytes;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, file)) > 0;) bytes.append(buffer, n);
    fclose(file);
    return bytes;
}

void WriteFileBytes(const std::string& windowsPath, const std::string& bytes)
{
    FILE* file = OpenHostFile(windowsPath.c_str(), "wb");
    if (!file) return;
    fwrite(bytes.data(), 1, bytes.size(), file);
    fclose(file);
}

MessageBoxAnswerer::MessageBoxAnswerer(int fallback)
{
    std::lock_guard<std::mutex> guard(answerLock);
    answers.clear();
    shownTexts.clear();
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

std::vector<std::string> MessageBoxAnswerer::texts() const
{
    std::lock_guard<std::mutex> guard(answerLock);
    return shownTexts;
}

void PumpMessages(DWORD milliseconds)
{
    DWORD end = GetTickCount() + milliseconds;
    MSG message;
    while ((LONG)(end - GetTickCount()) > 0) {
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(5);
    }
}
