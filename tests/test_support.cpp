#include "tests/test_support.h"

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>

#include "platform/host_file.h"

namespace {

struct AnswerState {
    std::mutex lock;
    std::deque<int> answers;
    int fallback = IDOK;
    std::vector<std::string> texts;
    std::vector<std::string> titles;
    HHOOK hook = NULL;
};
AnswerState answerState;

LRESULT CALLBACK AnswerHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE) {
        HWND window = (HWND)wParam;
        char className[32] = "";
        GetClassNameA(window, className, sizeof className);
        // A message box is a #32770 dialog with its text in static 0xFFFF.
        HWND textControl = GetDlgItem(window, 0xFFFF);
        if (strcmp(className, "#32770") == 0 && textControl) {
            char text[4096] = "";
            char title[256] = "";
            GetWindowTextA(textControl, text, sizeof text);
            GetWindowTextA(window, title, sizeof title);
            int answer;
            {
                std::lock_guard<std::mutex> guard(answerState.lock);
                answerState.texts.push_back(text);
                answerState.titles.push_back(title);
                if (answerState.answers.empty()) {
                    answer = answerState.fallback;
                } else {
                    answer = answerState.answers.front();
                    answerState.answers.pop_front();
                }
            }
            PostMessageA(window, WM_COMMAND, answer, 0);
        }
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

} // namespace

TempDir::TempDir()
{
    char pattern[] = "/tmp/bramblewick-test-XXXXXX";
    hostPath = mkdtemp(pattern);
    windowsPath = FullWindowsPath(hostPath);
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
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, n);
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
    std::lock_guard<std::mutex> guard(answerState.lock);
    answerState.answers.clear();
    answerState.texts.clear();
    answerState.titles.clear();
    answerState.fallback = fallback;
    answerState.hook = SetWindowsHookExA(WH_CBT, AnswerHook, GetModuleHandleA(NULL), 0);
}

MessageBoxAnswerer::~MessageBoxAnswerer()
{
    UnhookWindowsHookEx(answerState.hook);
    answerState.hook = NULL;
}

void MessageBoxAnswerer::Answer(int button)
{
    std::lock_guard<std::mutex> guard(answerState.lock);
    answerState.answers.push_back(button);
}

std::vector<std::string> MessageBoxAnswerer::texts() const
{
    std::lock_guard<std::mutex> guard(answerState.lock);
    return answerState.texts;
}

std::vector<std::string> MessageBoxAnswerer::titles() const
{
    std::lock_guard<std::mutex> guard(answerState.lock);
    return answerState.titles;
}

size_t MessageBoxAnswerer::count() const
{
    std::lock_guard<std::mutex> guard(answerState.lock);
    return answerState.texts.size();
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
