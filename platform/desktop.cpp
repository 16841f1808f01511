// Documents opened through the desktop's opener (xdg-open); used by Help > Contents.
#include "platform/desktop.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <string>

#include "platform/host_file.h"

extern char** environ;

bool OpenWithDesktop(const char* windowsPath)
{
    std::string host = HostPath(windowsPath);
    if (host.empty()) return false;
    // The shell leaves the opener running on its own and ends at once: some
    // openers stay until the application they started ends.
    const char* script = "command -v xdg-open >/dev/null || exit 127; xdg-open \"$1\" </dev/null >/dev/null 2>&1 &";
    char* arguments[] = {(char*)"sh", (char*)"-c", (char*)script, (char*)"sh", (char*)host.c_str(), NULL};
    pid_t shell;
    if (posix_spawnp(&shell, "sh", NULL, NULL, arguments, environ) != 0) return false;
    int status = 0;
    while (waitpid(shell, &status, 0) < 0) {
        if (errno != EINTR) return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
