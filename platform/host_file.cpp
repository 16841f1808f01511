#include "platform/host_file.h"

#include <windows.h>

#include <sys/stat.h>

namespace {

typedef char* (CDECL* UnixFileNameProc)(LPCWSTR);
typedef WCHAR* (CDECL* DosFileNameProc)(LPCSTR);

HMODULE Kernel32()
{
    static HMODULE module = GetModuleHandleA("kernel32.dll");
    return module;
}

bool IsWindowsPath(const std::string& path)
{
    if (path.size() >= 2 && path[1] == ':') return true;
    return path.size() >= 2 && path[0] == '\\' && path[1] == '\\';
}

} // namespace

std::string HostPath(const char* windowsPath)
{
    // Wine's kernel32 exports the translation, but no header declares it.
    static UnixFileNameProc toUnix =
        (UnixFileNameProc)GetProcAddress(Kernel32(), "wine_get_unix_file_name");
    if (!toUnix || !windowsPath || !*windowsPath) return std::string();

    int wideLength = MultiByteToWideChar(CP_ACP, 0, windowsPath, -1, NULL, 0);
    if (wideLength <= 0) return std::string();
    std::wstring wide(wideLength, L'\0');
    MultiByteToWideChar(CP_ACP, 0, windowsPath, -1, &wide[0], wideLength);

    char* unixName = toUnix(wide.c_str());
    if (!unixName) return std::string();
    std::string result(unixName);
    HeapFree(GetProcessHeap(), 0, unixName);
    return result;
}

HostFileKind HostFileKindOf(const char* windowsPath)
{
    std::string host = HostPath(windowsPath);
    struct stat status;
    if (host.empty() || stat(host.c_str(), &status) != 0) return NoHostFile;
    return S_ISREG(status.st_mode) ? RegularHostFile : OtherHostFile;
}

FILE* OpenHostFile(const char* windowsPath, const char* mode)
{
    std::string host = HostPath(windowsPath);
    if (host.empty()) return NULL;
    return fopen(host.c_str(), mode);
}

bool ReadTextLine(FILE* file, std::string& line)
{
    line.clear();
    int c;
    while ((c = getc(file)) != EOF && c != '\n') line += (char)c;
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    return c != EOF || !line.empty();
}

std::string FullWindowsPath(const std::string& path)
{
    if (path.empty() || IsWindowsPath(path)) return path;

    if (path[0] == '/') {
        static DosFileNameProc toDos =
            (DosFileNameProc)GetProcAddress(Kernel32(), "wine_get_dos_file_name");
        WCHAR* dosName = toDos ? toDos(path.c_str()) : NULL;
        if (dosName) {
            int length = WideCharToMultiByte(CP_ACP, 0, dosName, -1, NULL, 0, NULL, NULL);
            std::string result(length > 0 ? length - 1 : 0, '\0');
            if (length > 0) WideCharToMultiByte(CP_ACP, 0, dosName, -1, &result[0], length, NULL, NULL);
            HeapFree(GetProcessHeap(), 0, dosName);
            return result;
        }
        // Wine maps Z: to the host's root.
        std::string result = "Z:" + path;
        for (char& c : result) if (c == '/') c = '\\';
        return result;
    }

    // A relative path names a file below the current directory, which Wine
    // already keeps in its Windows form.
    std::string relative = path;
    for (char& c : relative) if (c == '/') c = '\\';
    DWORD length = GetFullPathNameA(relative.c_str(), 0, NULL, NULL);
    if (length == 0) return relative;
    std::string result(length, '\0');
    length = GetFullPathNameA(relative.c_str(), length, &result[0], NULL);
    result.resize(length);
    return result;
}
