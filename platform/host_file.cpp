// Windows paths handed to the host's C runtime and FreeImage, and host paths made Windows paths.
#include "platform/host_file.h"

#include <windows.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstring>
#include <map>

namespace {

typedef char* (CDECL* UnixFileNameProc)(LPCWSTR);
typedef WCHAR* (CDECL* DosFileNameProc)(LPCSTR);

HMODULE Kernel32()
{
    static HMODULE module = GetModuleHandleA("kernel32.dll");
    return module;
}

// Wide strings stay in vectors: with 16-bit wchar_t, std::wstring would
// measure them with the host's 32-bit wcslen.
std::vector<WCHAR> Wide(const std::string& text, UINT codePage)
{
    int length = MultiByteToWideChar(codePage, 0, text.c_str(), -1, NULL, 0);
    std::vector<WCHAR> wide(length > 0 ? length : 1, 0);
    if (length > 0) MultiByteToWideChar(codePage, 0, text.c_str(), -1, wide.data(), length);
    return wide;
}

std::string Narrow(const WCHAR* wide)
{
    int length = WideCharToMultiByte(CP_ACP, 0, wide, -1, NULL, 0, NULL, NULL);
    std::string text(length > 0 ? length : 1, '\0');
    if (length > 0) WideCharToMultiByte(CP_ACP, 0, wide, -1, &text[0], length, NULL, NULL);
    text.resize(text.size() - 1);
    return text;
}

bool HostNameExists(const std::string& host)
{
    struct stat status;
    return lstat(host.c_str(), &status) == 0;
}

bool SameHostFile(const std::string& a, const std::string& b)
{
    struct stat first, second;
    return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

std::string LastName(const std::string& host)
{
    return host.substr(host.rfind('/') + 1);
}

// An absolute host path without empty, "." and ".." components, as Windows
// resolves them; a relative one is taken from the current directory.
std::string AbsoluteHostPath(const std::string& path)
{
    std::string full = path;
    if (path[0] != '/') {
        // Found once for the lines of a list, which name files relative to it.
        static std::string lastDirectory, lastDirectoryHost;
        std::string directory(GetCurrentDirectoryA(0, NULL), '\0');
        directory.resize(GetCurrentDirectoryA((DWORD)directory.size(), &directory[0]));
        if (directory != lastDirectory) lastDirectoryHost = HostPath(directory.c_str()), lastDirectory = directory;
        full = lastDirectoryHost + "/" + path;
    }
    std::string result;
    for (size_t start = 0; start < full.size();) {
        size_t end = full.find('/', start);
        if (end == std::string::npos) end = full.size();
        std::string name = full.substr(start, end - start);
        if (name == "..") result.erase(result.empty() ? 0 : result.rfind('/'));
        else if (!name.empty() && name != ".") result += "/" + name;
        start = end + 1;
    }
    return result.empty() ? "/" : result;
}

std::string DosPath(const std::string& host)
{
    static DosFileNameProc toDos = (DosFileNameProc)GetProcAddress(Kernel32(), "wine_get_dos_file_name");
    WCHAR* dosName = toDos ? toDos(host.c_str()) : NULL;
    if (dosName) {
        std::string result = Narrow(dosName);
        HeapFree(GetProcessHeap(), 0, dosName);
        return result;
    }
    // Wine maps Z: to the host's root.
    std::string result = "Z:" + host;
    for (char& c : result) if (c == '/') c = '\\';
    return result;
}

// While a worker converts one file: its paths' host forms, found once.
bool remembering = false;
std::vector<std::pair<std::string, std::string>> remembered;

// The host folders of list lines, by the Windows form they were given. Wine
// looks for a name as it is spelled before it looks for it in another case:
// a name Windows spells as the host does that is there as spelled is that
// file, found with one look instead of Wine's translation.
std::map<std::string, std::string> listedFolders;

std::string ListedHostPath(const char* windowsPath)
{
    const char* separator = strrchr(windowsPath, '\\');
    if (listedFolders.empty() || !separator) return std::string();
    auto folder = listedFolders.find(std::string(windowsPath, separator));
    std::string name = separator + 1;
    if (folder == listedFolders.end() || !SpelledAlike(name)) return std::string();
    std::string host = folder->second + "/" + name;
    struct stat status;
    return stat(host.c_str(), &status) == 0 ? host : std::string();
}

} // namespace

std::string HostPath(const char* windowsPath)
{
    // Wine's kernel32 exports the translation, but no header declares it.
    static UnixFileNameProc toUnix =
        (UnixFileNameProc)GetProcAddress(Kernel32(), "wine_get_unix_file_name");
    if (!toUnix || !windowsPath || !*windowsPath) return std::string();
    for (const auto& known : remembered)
        if (known.first == windowsPath) return known.second;
    std::string listed = ListedHostPath(windowsPath);
    if (!listed.empty()) return listed;

    char* unixName = toUnix(Wide(windowsPath, CP_ACP).data());
    if (!unixName) return std::string();
    std::string result(unixName);
    HeapFree(GetProcessHeap(), 0, unixName);
    if (remembering) remembered.push_back({windowsPath, result});
    return result;
}

void RememberHostPaths(bool remember)
{
    remembering = remember;
    remembered.clear();
}

void RememberHostPath(const std::string& windowsPath, const std::string& hostPath)
{
    if (remembering && !hostPath.empty()) remembered.push_back({windowsPath, hostPath});
}

FILE* OpenHostFileToWrite(const std::string& hostPath)
{
    int descriptor = open(hostPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    struct stat status;
    if (descriptor >= 0 && fstat(descriptor, &status) == 0 && status.st_size > 0 && ftruncate(descriptor, 0) != 0) {
        close(descriptor);
        return NULL;
    }
    FILE* file = descriptor >= 0 ? fdopen(descriptor, "w+b") : NULL;
    if (!file && descriptor >= 0) close(descriptor);
    return file;
}

std::string DisplayPath(const std::string& windowsPath)
{
    std::string host = IsWindowsPath(windowsPath) ? HostPath(windowsPath.c_str()) : std::string();
    return host.empty() ? windowsPath : host;
}

HostFileKind HostFileKindOf(const char* windowsPath, unsigned long long* bytes, std::string* hostPath)
{
    std::string host = HostPath(windowsPath);
    struct stat status;
    if (host.empty() || stat(host.c_str(), &status) != 0) return NoHostFile;
    if (bytes) *bytes = status.st_size;
    if (hostPath) *hostPath = host;
    return S_ISREG(status.st_mode) ? RegularHostFile : OtherHostFile;
}

FILE* OpenHostFile(const char* windowsPath, const char* mode)
{
    std::string host = HostPath(windowsPath);
    if (host.empty()) return NULL;
    return fopen(host.c_str(), mode);
}

bool IsUtf8Text(const std::string& bytes)
{
    return bytes.empty() ||
           MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), (int)bytes.size(), NULL, 0) > 0;
}

std::string TextOfWindows1252(const std::string& bytes)
{
    return Narrow(Wide(bytes, 1252).data());
}

std::string TextOfFileLine(const std::string& bytes)
{
    return IsUtf8Text(bytes) ? bytes : TextOfWindows1252(bytes);
}

bool ReadTextLine(FILE* file, std::string& line)
{
    line.clear();
    int c;
    while ((c = getc(file)) != EOF && c != '\n') line += (char)c;
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    line = TextOfFileLine(line);
    return c != EOF || !line.empty();
}

TextFileResult ReadTextFileLines(const char* windowsPath, size_t maxBytes, std::vector<std::string>& lines)
{
    lines.clear();
    FILE* file = OpenHostFile(windowsPath, "rb");
    if (!file) return TextFileUnreadable;
    std::string bytes;
    char buffer[65536];
    size_t count;
    while (bytes.size() <= maxBytes && (count = fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.append(buffer, count);
    // A folder opens, and then nothing can be read from it.
    bool failed = ferror(file);
    fclose(file);
    if (failed) return TextFileUnreadable;
    if (bytes.size() > maxBytes) return TextFileTooLarge;

    // A file that begins with a byte order mark says it is UTF-8: none of
    // its lines is read as Windows-1252, so a name that is not UTF-8 text
    // stays what it is instead of becoming the name of another file.
    bool markedUtf8 = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0;
    for (size_t start = markedUtf8 ? 3 : 0; start < bytes.size();) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        size_t last = end;
        while (last > start && bytes[last - 1] == '\r') last--;
        std::string line = bytes.substr(start, last - start);
        lines.push_back(markedUtf8 ? line : TextOfFileLine(line));
        start = end + 1;
    }
    return TextFileRead;
}

bool IsWindowsPath(const std::string& path)
{
    if (path.size() >= 2 && path[1] == ':') return true;
    return path.size() >= 2 && path[0] == '\\' && path[1] == '\\';
}

bool WindowsKeepsNames(const std::string& windowsPath)
{
    // Measured under Wine: dots go from the end of every name, blanks only
    // from the end of the last one.
    size_t last = windowsPath.find_last_of("\\/");
    for (size_t start = 0; start <= windowsPath.size();) {
        size_t end = windowsPath.find_first_of("\\/", start);
        if (end == std::string::npos) end = windowsPath.size();
        std::string name = windowsPath.substr(start, end - start);
        bool isLast = last == std::string::npos || start > last;
        if (!name.empty() && name != "." && name != ".." &&
            (name.back() == '.' || (isLast && name.back() == ' ')))
            return false;
        start = end + 1;
    }
    return true;
}

bool NamesDevice(const std::string& path)
{
    size_t start = path.find_last_of("\\/");
    std::string name = path.substr(start == std::string::npos ? 0 : start + 1);
    name = name.substr(0, name.find('.'));
    while (!name.empty() && name.back() == ' ') name.pop_back();
    for (char& c : name) c = (char)toupper((unsigned char)c);
    if (name == "CON" || name == "PRN" || name == "AUX" || name == "NUL") return true;
    bool numbered = name.size() == 4 && name[3] >= '1' && name[3] <= '9';
    return numbered && (name.compare(0, 3, "COM") == 0 || name.compare(0, 3, "LPT") == 0);
}

bool SpelledAlike(const std::string& name)
{
    for (char c : name)
        if (c < 0x20 || c > 0x7E || strchr("\"*:<>?|\\/", c)) return false;
    return !name.empty() && name.back() != '.' && name.back() != ' ';
}

bool InputWindowsPath(const std::string& path, std::string& windowsPath)
{
    windowsPath = path;
    if (path.empty()) return true;
    if (IsWindowsPath(path)) return WindowsKeepsNames(path);

    std::string host = AbsoluteHostPath(path);
    // A relative Windows path ("photos\a.png", "\Pics\a.png") names no host
    // file of its own.
    if (path[0] != '/' && path.find('\\') != std::string::npos && !HostNameExists(host)) {
        DWORD length = GetFullPathNameA(path.c_str(), 0, NULL, NULL);
        if (length > 0) {
            windowsPath.resize(length);
            windowsPath.resize(GetFullPathNameA(path.c_str(), length, &windowsPath[0], NULL));
        }
        return WindowsKeepsNames(path);
    }

    // The files of a list are mostly in one folder: its form is found once.
    static std::string lastFolder, lastFolderForm;
    size_t slash = host.rfind('/');
    std::string folder = host.substr(0, slash), name = host.substr(slash + 1);
    struct stat status;
    if (!folder.empty() && SpelledAlike(name) && stat(host.c_str(), &status) == 0) {
        if (folder != lastFolder) {
            lastFolderForm = DosPath(folder), lastFolder = folder;
            listedFolders[lastFolderForm] = folder;
        }
        windowsPath = lastFolderForm + "\\" + name;
        return true;
    }

    // Wine gives every host name a Windows form, but Windows may read that
    // form as another name: only a way back to the same file counts.
    windowsPath = DosPath(host);
    std::string back = HostPath(windowsPath.c_str());
    if (back == host) return true;
    if (back.empty()) return !HostNameExists(host); // a missing file fails later, under its name
    return LastName(back) == LastName(host) && SameHostFile(back, host);
}
