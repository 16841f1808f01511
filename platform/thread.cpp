// Threads started for the window's batch run; see thread.h.
#include "platform/thread.h"

#include <windows.h>

namespace {

struct ThreadStart {
    void (*proc)(void*);
    void* argument;
};

DWORD WINAPI ThreadEntry(LPVOID parameter)
{
    ThreadStart start = *(ThreadStart*)parameter;
    delete (ThreadStart*)parameter;
    start.proc(start.argument);
    return 0;
}

} // namespace

bool BeginThread(void (*proc)(void*), void* argument)
{
    ThreadStart* start = new ThreadStart{proc, argument};
    HANDLE thread = CreateThread(NULL, 0, ThreadEntry, start, 0, NULL);
    if (!thread) {
        delete start;
        return false;
    }
    CloseHandle(thread);
    return true;
}

void EndThread()
{
    ExitThread(0);
}
