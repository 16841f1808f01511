// Where the program's files live. The program file, its language files and
// its help document sit in one directory, which may belong to root; the
// user's own files (config.dat, brwk.dat) sit in a directory of the user's
// that the launcher chooses and names in the environment.
#pragma once
#include <string>

// The environment variable through which the launcher names the directory
// of the user's own files, as a host path.
const char userDirectoryVariable[] = "BRAMBLEWICK_USER_DIR";

// The program file's directory, without trailing backslash.
std::string ProgramDirectory();

// The Windows path of the user's own file `name`: in the directory the
// launcher named, or beside the program when it was started without one.
std::string UserFilePath(const char* name);
