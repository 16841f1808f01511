// Shared helpers of the in-process tests: temporary directories in Windows
// form, small files, and message boxes answered by the test.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// A fresh directory below the host's temporary directory, removed with its
// contents at destruction. path() is its Windows form, ending without '\'.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::string& path() const { return windowsPath; }
    // path() + "\" + name
    std::string operator/(const std::string& name) const;

private:
    std::string windowsPath;
    std::string hostPath;
};

bool FileExists(const std::string& windowsPath);
std::string ReadFileBytes(const std::string& windowsPath);
void WriteFileBytes(const std::string& windowsPath, const std::string& bytes);

// Answers every message box that any thread of the process shows while it
// lives: with the answers queued by Answer() in order, then `fallback`.
// One answerer at a time: a second one would see every box twice.
class MessageBoxAnswerer {
public:
    explicit MessageBoxAnswerer(int fallback = IDOK);
    ~MessageBoxAnswerer();
    // Enter: the box's default button.
    static const int Enter = 0;
    void Answer(int button);
    // Texts of the boxes shown so far; a box not titled "Bramblewick" is
    // recorded as "[its title] text".
    std::vector<std::string> texts() const;
};

// Lets the message loops of this thread run for a while (dialogs, timers).
void PumpMessages(DWORD milliseconds);
