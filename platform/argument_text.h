#pragma once
#include <string>

// The argument text as a Windows shell passes it to the program: the
// arguments joined by one blank, an argument holding a blank enclosed in
// double quotes, and the path after -inputone or -inputmulti always quoted
// (a Unix shell strips the quotes a file manager entry would pass) and in
// its full Windows form.
std::string ArgumentTextFromArguments(int argc, const char* const* argv);

// The argument text of this process, built as above from its arguments.
std::string ProcessArgumentText();
