// The program works with Windows paths throughout. These calls are the one
// place where such a path is handed to the host's C runtime or FreeImage, and
// where a path given on the host becomes a Windows path.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

// Host path for a Windows path; empty when it has none (for example a file in
// a directory that does not exist), which callers treat as "cannot be opened".
std::string HostPath(const char* windowsPath);

// While on, HostPath answers a path it found before from memory: for a
// worker's one file, whose paths it names several times and which nothing
// renames meanwhile. Switching it either way forgets.
void RememberHostPaths(bool remember);
// While remembering: the host form of a path, as the run found it.
void RememberHostPath(const std::string& windowsPath, const std::string& hostPath);

// A host file opened to be written from its start, created when it is not
// there. One the run created empty for it is not truncated: on ext4 a
// truncated file is written out to the disk as it closes. Null on failure,
// with errno set.
FILE* OpenHostFileToWrite(const std::string& hostPath);

// How the user knows a path: the host path where there is one
// (/home/anna/a.jpg rather than Z:\home\anna\a.jpg), else the path as it
// is.
std::string DisplayPath(const std::string& windowsPath);

// What a Windows path names on the host: nothing, a regular file, or
// something else that has a name (a directory, device, pipe or socket); the
// size of what it names goes to `bytes`, and its host path to `hostPath`.
enum HostFileKind { NoHostFile, RegularHostFile, OtherHostFile };
HostFileKind HostFileKindOf(const char* windowsPath, unsigned long long* bytes = NULL, std::string* hostPath = NULL);

// fopen on a Windows path; null when the path has no host form or fopen fails.
FILE* OpenHostFile(const char* windowsPath, const char* mode);

// True for valid UTF-8 (the empty text included).
bool IsUtf8Text(const std::string& bytes);

// Windows-1252 bytes as program text (UTF-8).
std::string TextOfWindows1252(const std::string& bytes);

// A line of a text file as program text (UTF-8): a line that is not valid
// UTF-8 comes from a file written in Windows-1252, as earlier versions did.
std::string TextOfFileLine(const std::string& bytes);

// One whole line of a text file, however long, without its line end, as
// program text; false at the end of the file. The host's text mode keeps the
// CR of a Windows line end, so every trailing CR and LF is removed here.
bool ReadTextLine(FILE* file, std::string& line);

enum TextFileResult { TextFileRead, TextFileUnreadable, TextFileTooLarge };

// Every line of a text file of at most `maxBytes` bytes, read whole at once,
// as ReadTextLine gives them, or, after a UTF-8 byte order mark, as they are.
// A folder is unreadable. A larger file (or an endless one such as
// /dev/zero) is not read beyond that size and yields no lines.
TextFileResult ReadTextFileLines(const char* windowsPath, size_t maxBytes, std::vector<std::string>& lines);

// A drive ("C:...") or UNC ("\\server...") path.
bool IsWindowsPath(const std::string& path);

// A name Windows spells as the host does (printable ASCII that Windows allows
// in a name, not ending in a dot or a blank): Wine's form of an existing file
// of that name is its folder's form and the name.
bool SpelledAlike(const std::string& name);

// Windows drops the blanks and dots at the end of a name, so a path with such
// a name reaches another file; false for such a path.
bool WindowsKeepsNames(const std::string& windowsPath);

// Windows takes a last name of CON, PRN, AUX, NUL, COM1 to COM9 or LPT1 to
// LPT9, in any case and with any extension ("nul.png"), for a device: true
// for a path ending in such a name.
bool NamesDevice(const std::string& path);

// The full Windows path that names exactly the file a user or a list file
// names: a Windows path is kept, a host path ("/home/me/a.png",
// "photos/a.png") is made absolute and translated. False when Windows paths
// cannot name that file unchanged (a name ending in a blank or a dot, or
// holding \ * ? " < > |): any Windows path would reach another file or none.
bool InputWindowsPath(const std::string& path, std::string& windowsPath);
