// Worker processes: bad files cost only themselves, names follow the list, limits and crashes.
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "app/direct_mode.h"
#include "engine/conversion_limits.h"
#include "engine/convert_file.h"
#include "engine/formats.h"
#include "engine/image_converter.h"
#include "engine/worker_main.h"
#include "engine/worker_pool.h"
#include "lang/caption_numbers.h"
#include "lang/language_file.h"
#include "platform/host_file.h"
#include "platform/host_socket.h"
#include "tests/gtest.h"
#include "tests/images.h"
#include "tests/test_support.h"

namespace {

// Files that FreeImage 3.18 crashes or hangs on, or that declare a size
// nobody can hold, made byte by byte.
std::string AssertingJpegXr()
{
    // A container whose orientation entry is out of range: the decoder
    // asserts, which aborts the process.
    std::string jxr("II\xbc\x01\x08\0\0\0\x02\0", 10);
    jxr += std::string("\x01\xbc\x01\0\x10\0\0\0\x26\0\0\0", 12);   // pixel format: 16 bytes at 38
    jxr += std::string("\x02\xbc\x04\0\x01\0\0\0\0\xff\0\0", 12);   // orientation 0xff00
    return jxr + std::string(4, '\0') + "\x24\xc3\xdd\x6f\x03\x4e\xfe\x4b\xb1\x85\x3d\x77\x76\x8d\xc9\x0c";
}

std::string EndlessPict()
{
    // The header and the picture frame, and then no opcodes at all.
    return std::string(512 + 2, '\0') + std::string("\0\0\0\0\0\x10\0\x10", 8);
}

// A real 1x1 PNG whose header then says width x height.
std::string PngDeclaring(const TempDir& dir, unsigned width, unsigned height)
{
    WritePatternImage(dir / "tiny.png", 1, 1, 24);
    std::string png = ReadFileBytes(dir / "tiny.png");
    return png.substr(0, 8) + PngChunk("IHDR", Be(width) + Be(height) + png.substr(24, 5)) + png.substr(33);
}

// A worker started as the launcher starts one beside the program, for the
// next worker start to take. Both watch this process (it runs throughout).
HANDLE StartWorkerBeside(const std::string& hostPath)
{
    std::string value = std::to_string(getpid()) + " " + hostPath;
    char module[MAX_PATH] = "";
    GetModuleFileNameA(NULL, module, MAX_PATH);
    std::string executable = std::string(module) + ".so", commandLine = "\"" + executable + "\"";
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION started = {};
    SetEnvironmentVariableA("BRAMBLEWICK_WORKER_AT", value.c_str());
    bool made = CreateProcessA(executable.c_str(), &commandLine[0], NULL, NULL, FALSE, CREATE_NO_WINDOW, NULL, NULL,
                               &startup, &started);
    SetEnvironmentVariableA("BRAMBLEWICK_WORKER_AT", NULL);
    if (!made) return NULL;
    SetEnvironmentVariableA("BRAMBLEWICK_LAUNCHED_WORKER", value.c_str());
    CloseHandle(started.hThread);
    return started.hProcess;
}

class WorkerPoolTest : public ProcessStateTest {
protected:
    WorkerPoolTest()
    {
        settings.outputFormat = FormatJpg;
        settings.saveOption = 4;
        // The reasons a worker gives in words of the run's language.
        languageCaptions[0][CaptionDeclaredBeyondLimits] = "declares %1x%2, at most %3 MP, %4 a side";
        languageCaptions[0][CaptionResizedBeyondLimits] = "resized to %1x%2, at most %3 MP, %4 a side";
    }
    ~WorkerPoolTest() override
    {
        conversionLimits = savedLimits;
        workerFault = NoWorkerFault;
    }

    std::string Host(const std::string& name) { return HostPath((dir / name).c_str()); }

    const TempDir& dir = directory;
    const ConversionLimits savedLimits = conversionLimits;
};

} // namespace

// A list run as the shell starts it, by three workers at once: every good
// file is converted, every bad one is logged in list order with its reason,
// and nothing is left at a bad file's output name. Four sources of one name
// get the names a run of one file after another gives them, in list order,
// also when a file between them fails after its name was claimed; a name
// already taken, even by a link that leads nowhere, is left as it is. A
// worker in which the image library failed or complained may be damaged
// without knowing it: here one taken again after that crashes. An option of
// another format's group is set aside for the format's default.
TEST_F(WorkerPoolTest, ABadFileCostsOnlyItselfAndNamesFollowTheList)
{
    settings.workers = 3;
    workerFault = CrashIfReusedFault;
    conversionLimits.baseSeconds = 3;   // a good file takes a small share of it, also on a busy machine
    conversionLimits.secondsPerMegabyte = conversionLimits.secondsPerMegapixel = 0;
    ASSERT_TRUE(WriteCutOffJpeg(dir / "cut.jpg"));   // converts, the missing part grey, and the library warns
    WriteFileBytes(dir / "crash.jxr", AssertingJpegXr());
    WriteFileBytes(dir / "hang.pct", EndlessPict());
    WriteFileBytes(dir / "bomb.png", PngDeclaring(dir, 100000, 100000));
    WriteFileBytes(dir / "x.gif", "GIF89a, and then nothing");
    ASSERT_EQ(0, mkfifo(Host("pipe.png").c_str(), 0600));
    WriteFileBytes(dir / "x_1.jpg", "keep me");
    ASSERT_EQ(0, symlink(Host("nowhere.jpg").c_str(), Host("x_3.jpg").c_str()));
    struct { const char* name; std::string reason; FREE_IMAGE_FORMAT format; } files[] = {
        {"x.png", "", FIF_PNG},
        {"crash.jxr", CaptionText(CaptionDecoderCrashed)},
        {"x.bmp", "", FIF_BMP},
        {"x.gif", CaptionText(CaptionFailureKinds + OpenFailed) + " (Invalid GIF block found)"},
        {"hang.pct", CaptionText(CaptionDecodingTooLong)},
        {"x.tga", "", FIF_TARGA},
        {"bomb.png", "declares 100000x100000, at most 1000 MP, 1000000 a side"},
        {"pipe.png", CaptionText(CaptionNotAnImageFile)},
        {"x.tif", "", FIF_TIFF},
    };
    std::string list = dir / "cut.jpg\n";
    std::string log = DisplayPath(dir / "cut.jpg") + "\r\n" + CaptionText(CaptionDamagedSource) + "\r\n\r\n";
    unsigned width = 10;
    for (const auto& file : files) {
        if (file.reason.empty()) WritePatternImage(dir / file.name, width++, 8, 24, file.format);
        list += dir / file.name + "\n";
        if (!file.reason.empty()) log += Logged(dir / file.name) + file.reason + "\r\n\r\n";
    }
    WriteFileBytes(dir / "list.txt", list);

    boxes.Fallback(IDNO);
    RunDirectMode(ReadCommandLine("-output 1 -options 27 -inputmulti \"" + (dir / "list.txt") + "\""));
    EXPECT_EQ(boxes.texts(), Texts{CaptionText(CaptionShowLog)});
    EXPECT_EQ(log, conversionLog);
    EXPECT_EQ(settings.saveOption, 0);
    const char* outputs[] = {"x.jpg", "x_2.jpg", "x_4.jpg", "x_5.jpg"};
    for (unsigned i = 0; i < 4; i++) {
        Bitmap written = ReadImage(dir / outputs[i]);
        EXPECT_TRUE(written && FreeImage_GetWidth(written.get()) == 10u + i) << outputs[i];
    }
    for (const char* name : {"crash.jpg", "hang.jpg", "bomb.jpg", "pipe.jpg", "nowhere.jpg", "x_6.jpg"})
        EXPECT_FALSE(FileExists(dir / name)) << name;
}

// One worker: each file waits behind the one before it, and one that waited
// behind a crash, a hang or a failure that ends the worker is converted by
// the next one.
TEST_F(WorkerPoolTest, AFileQueuedBehindABadOneIsConvertedAllTheSame)
{
    settings.workers = 1;
    conversionLimits.baseSeconds = 3;
    conversionLimits.secondsPerMegabyte = conversionLimits.secondsPerMegapixel = 0;
    WriteFileBytes(dir / "crash.jxr", AssertingJpegXr());
    WriteFileBytes(dir / "hang.pct", EndlessPict());
    WriteFileBytes(dir / "x.gif", "GIF89a, and then nothing");
    std::string list;
    for (const char* name : {"crash.jxr", "a.png", "hang.pct", "b.png", "x.gif", "c.png"}) {
        if (strstr(name, ".png")) WritePatternImage(dir / name, 10, 8, 24);
        list += dir / name + "\n";
    }
    WriteFileBytes(dir / "list.txt", list);

    boxes.Fallback(IDNO);
    RunDirectMode(ReadCommandLine("-output 1 -options 0 -inputmulti \"" + (dir / "list.txt") + "\""));
    EXPECT_EQ(boxes.texts(), Texts{CaptionText(CaptionShowLog)});
    EXPECT_EQ(convertedCount, 3u);
    EXPECT_EQ(failedCount, 3u);
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) EXPECT_TRUE(ReadImage(dir / name)) << name;
}

// The worker the launcher started beside the program is the run's first,
// and a hang in it costs only its file, as in any other.
TEST_F(WorkerPoolTest, TheWorkerStartedBesideTheProgramIsTakenAndEndedLikeAnyOther)
{
    settings.workers = 1;
    conversionLimits.baseSeconds = 3;
    conversionLimits.secondsPerMegabyte = conversionLimits.secondsPerMegapixel = 0;
    WriteFileBytes(dir / "hang.pct", EndlessPict());
    WritePatternImage(dir / "a.png", 10, 8, 24);
    WriteFileBytes(dir / "list.txt", dir / "hang.pct\n" + dir / "a.png\n");
    // A socket an ended process left at the path is no hindrance.
    int left = ListenAt(Host("worker").c_str());
    CloseSocket(left);
    HANDLE beside = StartWorkerBeside(Host("worker"));
    ASSERT_TRUE(beside);

    boxes.Fallback(IDNO);
    RunDirectMode(ReadCommandLine("-output 1 -options 0 -inputmulti \"" + (dir / "list.txt") + "\""));
    EXPECT_EQ(boxes.texts(), Texts{CaptionText(CaptionShowLog)});
    EXPECT_EQ(Logged(dir / "hang.pct") + CaptionText(CaptionDecodingTooLong) + "\r\n\r\n", conversionLog);
    EXPECT_TRUE(ReadImage(dir / "a.jpg"));
    // Taken, and ended for the hang (not gone untaken).
    DWORD exitCode = 0;
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(beside, 10000));
    EXPECT_TRUE(GetExitCodeProcess(beside, &exitCode) && exitCode == 1);
    CloseHandle(beside);
}

// Sizes asked for are checked before anything is allocated for them (a strip
// one pixel longer than a side may be is refused); an image larger than a
// worker's memory fails alone.
TEST_F(WorkerPoolTest, ASizeOrMemoryBeyondTheLimitsIsRefused)
{
    WritePatternImage(dir / "a.png", 8, 8, 24);
    ImageChange strip = {true, Pixels, 1000001, 1, false, Left, 0};
    ImageChange huge = {true, Percentage, 500000, 500000, false, Left, 0};
    EXPECT_FALSE(ConvertFile((dir / "a.png").c_str(), settings, strip) ||
                 ConvertFile((dir / "a.png").c_str(), settings, huge));
    std::string beyond = ", at most 1000 MP, 1000000 a side\r\n\r\n", tooLarge = Logged(dir / "a.png") + "resized to ";
    EXPECT_EQ(tooLarge + "1000001x1" + beyond + tooLarge + "40000x40000" + beyond, conversionLog);

    MEMORYSTATUSEX memory = {sizeof memory};
    GlobalMemoryStatusEx(&memory);
    EXPECT_TRUE(MemoryLimit(1) > memory.ullTotalPhys / 2 && 4 * MemoryLimit(4) <= memory.ullTotalPhys / 4 * 3);
    conversionLimits.memoryBytes = 16 << 20;
    WritePatternImage(dir / "big.png", 3000, 3000, 24);   // 27 MB of pixels
    EXPECT_FALSE(ConvertFile((dir / "big.png").c_str(), settings, ImageChange{}));
}

// A worker that faults ends at once and its file is reported as crashed, not
// as a file that took too long once its time ran out; a step that takes too
// long is named, whichever it is.
TEST_F(WorkerPoolTest, AWorkerThatFaultsIsSeenToCrashAndAStepThatHangsIsNamed)
{
    conversionLimits.baseSeconds = 2;
    conversionLimits.secondsPerMegabyte = conversionLimits.secondsPerMegapixel = 0;
    WritePatternImage(dir / "a.png", 8, 8, 24);
    struct { WorkerFault fault; int reason; } cases[] = {
        {NullWriteFault, CaptionDecoderCrashed}, {DivideByZeroFault, CaptionDecoderCrashed},
        {HangWhileTurningFault, CaptionTurningTooLong}};
    for (const auto& c : cases) {
        workerFault = c.fault;
        conversionLog.clear();
        EXPECT_FALSE(ConvertFile((dir / "a.png").c_str(), settings, ImageChange{false, Pixels, 0, 0, true, Left, 45}));
        EXPECT_EQ(Logged(dir / "a.png") + CaptionText(c.reason) + "\r\n\r\n", conversionLog);
    }
}

// What has come is taken at once, also when it fills the reading buffer
// exactly: nothing then waits for more (a wait would last until the other
// end closes, which it does here after a few seconds).
struct SocketEnds {
    int ends[2] = {-1, -1};
    HANDLE done = CreateEventA(NULL, TRUE, FALSE, NULL);
};

DWORD WINAPI CloseSendingEndLate(LPVOID parameter)
{
    SocketEnds& pair = *(SocketEnds*)parameter;
    if (WaitForSingleObject(pair.done, 3000) == WAIT_TIMEOUT) CloseSocket(pair.ends[1]);
    return 0;
}

TEST(WorkerSockets, WhatHasComeIsTakenWithoutWaitingForMore)
{
    SocketEnds pair;
    bool outOfDescriptors;
    ASSERT_TRUE(MakeSocketPair(pair.ends, outOfDescriptors));
    HANDLE closer = CreateThread(NULL, 0, CloseSendingEndLate, &pair, 0, NULL);
    for (size_t size : {100, 4096, 8192}) {
        std::string bytes;
        EXPECT_TRUE(SendBytes(pair.ends[1], std::string(size, 'x')) && ReceiveBytes(pair.ends[0], bytes, true) &&
                    bytes.size() == size) << size;
    }
    SetEvent(pair.done);
    WaitForSingleObject(closer, INFINITE);
    CloseHandle(closer);
    CloseHandle(pair.done);
    CloseSocket(pair.ends[0]);
    CloseSocket(pair.ends[1]);
}

// A line is taken alone: what came after it in the same sending is left for
// the messages that follow.
TEST(WorkerSockets, ALineIsTakenWithoutWhatFollowsIt)
{
    int ends[2];
    bool outOfDescriptors;
    ASSERT_TRUE(MakeSocketPair(ends, outOfDescriptors));
    std::string line, rest;
    EXPECT_TRUE(SendBytes(ends[1], "4321\nhello"));
    EXPECT_TRUE(ReceiveLine(ends[0], line, 10000) && line == "4321") << line;
    EXPECT_TRUE(ReceiveBytes(ends[0], rest, true) && rest == "hello") << rest;
    CloseSocket(ends[1]);
    EXPECT_FALSE(ReceiveLine(ends[0], line, 10000));
    CloseSocket(ends[0]);
}
