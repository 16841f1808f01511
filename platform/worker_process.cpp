// Worker processes started, fed and ended from the host side; used by the worker pool.
#include "platform/worker_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/host_socket.h"
#include "platform/interrupt.h"
#include "platform/message_box.h"

namespace {

const char workerVariable[] = "BRAMBLEWICK_WORKER";

// Under Wine, the module of a Winelib program is named as the Windows file
// it stands for ("x.exe"), which is a shell launcher or does not exist; the
// program itself is "x.exe.so", and that is what CreateProcess can start.
std::string OwnExecutable()
{
    char path[2048] = "";
    GetModuleFileNameA(NULL, path, sizeof path);
    std::string winelib = std::string(path) + ".so";
    return GetFileAttributesA(winelib.c_str()) != INVALID_FILE_ATTRIBUTES ? winelib : path;
}

// This process's environment with the worker variable added.
std::string WorkerEnvironment(const std::string& value)
{
    std::string block = std::string(workerVariable) + "=" + value;
    block.push_back('\0');
    char* strings = GetEnvironmentStringsA();
    for (char* entry = strings; *entry; entry += strlen(entry) + 1) block.append(entry).push_back('\0');
    FreeEnvironmentStringsA(strings);
    block.push_back('\0');
    return block;
}

unsigned long long HandleNumber(HANDLE handle)
{
    return (unsigned long long)(ULONG_PTR)handle;
}

// This process, as a handle the worker inherits to watch it.
HANDLE InheritableSelf()
{
    HANDLE copy = NULL;
    DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &copy, SYNCHRONIZE, TRUE, 0);
    return copy;
}

void ExitAtOnce(int)
{
    _exit(3);
}

LONG CALLBACK EndAtFault(EXCEPTION_POINTERS* exception)
{
    switch (exception->ExceptionRecord->ExceptionCode) {
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_IN_PAGE_ERROR:
    case EXCEPTION_DATATYPE_MISALIGNMENT:
    case EXCEPTION_ILLEGAL_INSTRUCTION:
    case EXCEPTION_PRIV_INSTRUCTION:
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_INT_OVERFLOW:
    case EXCEPTION_STACK_OVERFLOW:
        _exit(3);
    default:
        return EXCEPTION_CONTINUE_SEARCH;
    }
}

} // namespace

bool StartWorkerProcess(const std::string& secret, WorkerChannel& parentEnds, std::string& failure)
{
    // The worker's end is passed on just for its start, so that no other
    // worker holds it: its end closes as it ends. Workers start one at a time.
    static SRWLOCK oneAtATime = SRWLOCK_INIT;
    int ends[2];
    bool outOfDescriptors;
    if (!MakeSocketPair(ends, outOfDescriptors)) {
        failure = SystemErrorText(outOfDescriptors ? ERROR_TOO_MANY_OPEN_FILES : ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    HANDLE parent = InheritableSelf();
    char value[200];
    snprintf(value, sizeof value, "%s %llu %d", secret.c_str(), HandleNumber(parent), ends[1]);
    std::string environment = WorkerEnvironment(value);
    std::string executable = OwnExecutable();
    std::string commandLine = "\"" + executable + "\"";
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION started = {};
    AcquireSRWLockExclusive(&oneAtATime);
    PassSocketOn(ends[1], true);
    bool made = parent && CreateProcessA(executable.c_str(), &commandLine[0], NULL, NULL, TRUE, CREATE_NO_WINDOW,
                                         &environment[0], NULL, &startup, &started);
    DWORD error = GetLastError();
    CloseSocket(ends[1]);
    ReleaseSRWLockExclusive(&oneAtATime);
    if (parent) CloseHandle(parent);
    if (!made) {
        CloseSocket(ends[0]);
        failure = SystemErrorText(error);
        return false;
    }
    CloseHandle(started.hThread);
    parentEnds = {started.hProcess, ends[0]};
    return true;
}

bool TakeWorkerChannel(std::string& secret, WorkerChannel& workerEnds)
{
    char value[200] = "";
    DWORD length = GetEnvironmentVariableA(workerVariable, value, sizeof value);
    if (length == 0 || length >= sizeof value) return false;
    char secretText[100] = "";
    unsigned long long parent = 0;
    int socket = -1;
    if (sscanf(value, "%99s %llu %d", secretText, &parent, &socket) != 3) return false;
    DWORD flags;
    if (!GetHandleInformation((HANDLE)(ULONG_PTR)parent, &flags) || !IsSocket(socket)) return false;
    // Not passed on to anything this process might start.
    SetEnvironmentVariableA(workerVariable, NULL);
    PassSocketOn(socket, false);
    secret = secretText;
    workerEnds = {(HANDLE)(ULONG_PTR)parent, socket};
    return true;
}

void CloseWorkerChannel(WorkerChannel& channel)
{
    if (channel.process) CloseHandle(channel.process);
    channel.process = NULL;
    CloseSocket(channel.socket);
}

void PrepareWorkerProcess(unsigned long long memoryBytes)
{
    // The data limit counts every private writable mapping, where the C
    // library puts images, and leaves alone the address space Wine reserves
    // at start (gigabytes, none of it used).
    unsigned long long pages[6] = {};
    FILE* statm = fopen("/proc/self/statm", "r");
    if (statm) {
        if (fscanf(statm, "%llu %llu %llu %llu %llu %llu", &pages[0], &pages[1], &pages[2], &pages[3], &pages[4],
                   &pages[5]) != 6)
            pages[5] = 0;
        fclose(statm);
    }
    struct rlimit limit;
    limit.rlim_cur = limit.rlim_max = pages[5] * (unsigned long long)sysconf(_SC_PAGESIZE) + memoryBytes;
    setrlimit(RLIMIT_DATA, &limit);

    int nothing = open("/dev/null", O_WRONLY);
    if (nothing >= 0) {
        dup2(nothing, STDOUT_FILENO);
        dup2(nothing, STDERR_FILENO);
        close(nothing);
    }
    // The C library writes its last words to the terminal, not to standard error.
    setenv("LIBC_FATAL_STDERR_", "1", 1);

    struct sigaction onAbort = {};
    onAbort.sa_handler = ExitAtOnce;
    sigaction(SIGABRT, &onAbort, NULL);
    // Under Wine a fault in native code (the image library) is dispatched as
    // an exception through frames it may not be able to walk, which can
    // leave the process half ended; a handler called before any frame is
    // looked at ends it at once, so that the run sees it go.
    AddVectoredExceptionHandler(1, EndAtFault);
    // Ctrl-C reaches every process of the terminal's group; the run decides.
    IgnoreInterrupts();
}
