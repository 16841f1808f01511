// The program works with Windows paths throughout. These calls are the one
// place where such a path is handed to the host's C runtime or FreeImage.
#pragma once
#include <cstdio>
#include <string>

// Host path for a Windows path; empty when it has none (for example a file in
// a directory that does not exist), which callers treat as "cannot be opened".
std::string HostPath(const char* windowsPath);

// What a Windows path names on the host: nothing, a regular file, or
// something else that has a name (a directory, device, pipe or socket).
enum HostFileKind { NoHostFile, RegularHostFile, OtherHostFile };
HostFileKind HostFileKindOf(const char* windowsPath);

// fopen on a Windows path; null when the path has no host form or fopen fails.
FILE* OpenHostFile(const char* windowsPath, const char* mode);

// One whole line of a text file, however long, without its line end; false at
// the end of the file. The host's text mode keeps the CR of a Windows line
// end, so every trailing CR and LF is removed here.
bool ReadTextLine(FILE* file, std::string& line);

// The full Windows form of a path given by the user or a list file: a drive or
// UNC path is kept, a host path ("/home/me/a.png", "photos/a.png") is made
// absolute and turned into the Windows path that names the same file.
std::string FullWindowsPath(const std::string& path);
