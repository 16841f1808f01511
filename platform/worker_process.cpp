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
// Set by the launcher, which starts a worker beside the program so that the
// two Wine starts overlap, each to a host process and the path the worker
// listens at: the worker's, the launcher's process; the program's, the
// worker's.
const char listenVariable[] = "BRAMBLEWICK_WORKER_AT";
const char launchedVariable[] = "BRAMBLEWICK_LAUNCHED_WORKER";

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

// A variable meant for this process alone, taken out of the environment
// that processes started from it get; "" when it is not set.
std::string TakeVariable(const char* name)
{
    char value[2048] = "";
    DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    if (length == 0 || length >= sizeof value) return std::string();
    SetEnvironmentVariableA(name, NULL);
    return value;
}

// The host process and the path of a launcher's variable.
bool ProcessAndPath(const std::string& value, int& pid, std::string& path)
{
    int offset = 0;
    if (sscanf(value.c_str(), "%d %n", &pid, &offset) != 1 || offset == 0) return false;
    path = value.substr(offset);
    return !path.empty();
}

// Each side of a launched worker's connection tells the other its process
// and opens the other's, to hold it as a started worker and its run hold
// each other; NULL when the other side went or said nothing in time.
HANDLE ExchangeProcesses(int socket, DWORD access)
{
    // The line alone: what the run sends after it is the worker's first message.
    std::string line;
    if (!SendBytes(socket, std::to_string(GetCurrentProcessId()) + "\n") || !ReceiveLine(socket, line, 10000))
        return NULL;
    return OpenProcess(access, FALSE, strtoul(line.c_str(), NULL, 10));
}

// Whether the host process runs (the launcher's shell waits for its
// children, so an ended one is soon gone).
bool HostProcessRuns(int pid)
{
    return kill(pid, 0) == 0;
}

// The worker the launcher started beside the program, taken by the first
// worker start: it is usually ready by the time the run needs it. False
// when there is none, or it does not come within a few seconds (the run
// then starts its own).
bool JoinLaunchedWorker(WorkerChannel& parentEnds)
{
    int pid;
    std::string path;
    if (!ProcessAndPath(TakeVariable(launchedVariable), pid, path)) return false;
    int socket = -1;
    for (ULONGLONG start = GetTickCount64(); socket < 0 && GetTickCount64() - start < 10000; Sleep(2)) {
        socket = ConnectTo(path.c_str());
        if (socket < 0 && !HostProcessRuns(pid)) return false;
    }
    HANDLE worker = socket >= 0 ? ExchangeProcesses(socket, SYNCHRONIZE | PROCESS_TERMINATE) : NULL;
    if (!worker) {
        CloseSocket(socket);
        return false;
    }
    parentEnds = {worker, socket};
    return true;
}

// In a worker the launcher started: waits for the run to come, as long as
// the launcher (or the program it became) runs, and takes its ends. A
// worker that no run takes ends.
WorkerChannel AwaitRun(const std::string& value)
{
    // Ctrl-C is the run's to decide, also before it came.
    IgnoreInterrupts();
    int launcher;
    std::string path;
    if (!ProcessAndPath(value, launcher, path)) ExitProcess(0);
    // The path is named after the launcher's process: one left there by an
    // earlier process of that number, which ended without removing it, is
    // nobody's.
    unlink(path.c_str());
    int listener = ListenAt(path.c_str()), socket = -1;
    while (listener >= 0 && socket < 0 && HostProcessRuns(launcher)) socket = AcceptWithin(listener, 100);
    CloseSocket(listener);
    unlink(path.c_str());
    HANDLE run = socket >= 0 ? ExchangeProcesses(socket, SYNCHRONIZE) : NULL;
    if (!run) ExitProcess(0);
    return {run, socket};
}

} // namespace

bool StartWorkerProcess(const std::string& secret, WorkerChannel& parentEnds, std::string& failure)
{
    // The worker's end is passed on just for its start, so that no other
    // worker holds it: its end closes as it ends. Workers start one at a time.
    static SRWLOCK oneAtATime = SRWLOCK_INIT;
    AcquireSRWLockExclusive(&oneAtATime);
    bool joined = JoinLaunchedWorker(parentEnds);
    ReleaseSRWLockExclusive(&oneAtATime);
    if (joined) return true;
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
    std::string launched = TakeVariable(listenVariable);
    if (!launched.empty()) {
        // Only the user can reach the launcher's folder: no secret to show.
        secret.clear();
        workerEnds = AwaitRun(launched);
        return true;
    }
    std::string value = TakeVariable(workerVariable);
    char secretText[100] = "";
    unsigned long long parent = 0;
    int socket = -1;
    if (sscanf(value.c_str(), "%99s %llu %d", secretText, &parent, &socket) != 3) return false;
    DWORD flags;
    if (!GetHandleInformation((HANDLE)(ULONG_PTR)parent, &flags) || !IsSocket(socket)) return false;
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
