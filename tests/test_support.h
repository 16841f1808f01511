// Shared helpers of the in-process tests: temporary directories in Windows
// form, small files, message boxes answered by the test, bounded waits, and a
// fixture that puts the process-wide state back.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/conversion_settings.h"
#include "tests/gtest.h"

typedef std::vector<std::string> Texts;

// A fresh directory below the host's temporary directory, removed with its
// contents at destruction. path() is its Windows form, ending without '\'.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::string& path() const { return windowsPath; }
    // path() + "\" + name
    std::string operator/(const std::string& name) const { return windowsPath + "\\" + name; }

private:
    std::string windowsPath;
    std::string hostPath;
};

bool FileExists(const std::string& windowsPath);
std::string ReadFileBytes(const std::string& windowsPath);
void WriteFileBytes(const std::string& windowsPath, const std::string& bytes);

// Answers every message box that any thread of the process shows while it
// lives: with the answers queued by Answer() in order, then `fallback`; an
// answer the box does not offer becomes its No, or else its OK. Closes the log
// window as it shows. One answerer at a time: a second one would see every box
// twice.
class MessageBoxAnswerer {
public:
    explicit MessageBoxAnswerer(int fallback = IDOK);
    ~MessageBoxAnswerer();
    // Enter: the box's default button; Leave: no answer, the box stays open.
    static const int Enter = 0;
    static const int Leave = -1;
    void Answer(int button);
    void Fallback(int button);
    // Texts of the boxes shown so far; a box not titled "Bramblewick" is
    // recorded as "[its title] text", the log window as "[Bramblewick - Log] text".
    Texts texts();
    // Those shown since texts() or Take() was last asked for.
    Texts Take();
};

// Lets the message loops of this thread run for a while (dialogs, timers).
void PumpMessages(DWORD milliseconds);

// Lets the message loops run until `done` holds; after `milliseconds`
// without it, fails the test naming what it waited for and returns false.
bool WaitFor(const std::function<bool()>& done, const char* what, DWORD milliseconds = 30000);

// The twelve output formats in number order, as the user knows them: the
// selector's name, the file's extension, the first save option and the
// captions of the options' names in list order, and the field that
// remembers the format's option.
struct KnownFormat {
    const char* name;
    const char* extension;
    int firstOption;
    std::vector<int> captions;
    int ConversionSettings::*remembered;
    int LastOption() const { return captions.empty() ? 0 : firstOption + (int)captions.size() - 1; }
};
extern const KnownFormat knownFormats[12];

// "caption k": the English text of every caption while a ProcessStateTest
// runs, so that each text shown names its number.
inline std::string CaptionText(int k) { return "caption " + std::to_string(k); }

// The start of a failed file's entry in the log: the path as the user knows
// it, then the word for an error.
std::string Logged(const std::string& windowsPath);

// Keeps the settings, the counters and logs, the captions and the program's
// directory as they were before the test, and gives the test a directory
// that stands in for the program's and the user's. A message box the test
// does not look at fails it.
class ProcessStateTest : public testing::Test {
protected:
    ProcessStateTest();
    ~ProcessStateTest() override;
    void TearDown() override;
    // The lines of the settings file, line ends removed.
    Texts SavedLines() const;

    TempDir directory;
    const std::string settingsFile = directory / "config.dat";
    MessageBoxAnswerer boxes;

private:
    ConversionSettings savedSettings;
    std::vector<std::string> savedCaptions;
    std::string savedModuleDirectory;
};
