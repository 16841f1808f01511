// Keeps the caller's output and error to this process; called first by the entry.
#include "platform/standard_streams.h"

#include <windows.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

namespace {

// The stream on a copy of `descriptor` that started processes do not
// inherit, with /dev/null left in its place (a process started with the
// descriptor closed would take it for its next file); the stream as it was
// when that cannot be done.
FILE* OwnStream(FILE* stream, int descriptor, const char* mode)
{
    int own = fcntl(descriptor, F_DUPFD_CLOEXEC, 3);
    int nothing = open("/dev/null", O_WRONLY | O_CLOEXEC);
    FILE* moved = own >= 0 && nothing >= 0 ? fdopen(own, mode) : NULL;
    if (moved) {
        fflush(stream);
        dup2(nothing, descriptor);
    } else if (own >= 0) {
        close(own);
    }
    if (nothing >= 0) close(nothing);
    return moved ? moved : stream;
}

} // namespace

void KeepStandardStreamsToThisProcess()
{
    stdout = OwnStream(stdout, STDOUT_FILENO, "w");
    stderr = OwnStream(stderr, STDERR_FILENO, "w");
    setvbuf(stderr, NULL, _IONBF, 0);
    // The Windows handles of the same streams, which Wine passes on as well;
    // the program writes through the C library.
    const DWORD streams[] = {STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
    for (DWORD which : streams) {
        HANDLE handle = GetStdHandle(which);
        SetStdHandle(which, NULL);
        if (handle && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
}
