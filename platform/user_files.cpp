// Where config.dat and brwk.dat live; see user_files.h.
#include "platform/user_files.h"

#include <windows.h>

#include <cstring>

#include "platform/host_file.h"

std::string ProgramDirectory()
{
    char path[500] = "";
    GetModuleFileNameA(NULL, path, sizeof path);
    char* lastBackslash = strrchr(path, '\\');
    if (lastBackslash) *lastBackslash = '\0';
    return path;
}

std::string UserFilePath(const char* name)
{
    DWORD length = GetEnvironmentVariableA(userDirectoryVariable, NULL, 0);
    std::string directory(length, '\0');
    if (length > 0) directory.resize(GetEnvironmentVariableA(userDirectoryVariable, &directory[0], length));
    // A directory that Windows paths cannot name exactly is not used.
    std::string windowsDirectory;
    if (directory.empty() || !InputWindowsPath(directory, windowsDirectory)) windowsDirectory = ProgramDirectory();
    return windowsDirectory + "\\" + name;
}
