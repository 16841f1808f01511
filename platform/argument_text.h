// What the program's entry gets from a Unix shell, made into the text a
// Windows shell would pass.
#pragma once
#include <string>

// The argument text as a Windows shell passes it to the program: the
// arguments joined by one blank, and an argument holding a blank or a double
// quote, or an empty one, enclosed in double quotes with each of its own
// quotes doubled. The value after -inputone or -inputmulti is always quoted
// so (a Unix shell strips the quotes a file manager entry would pass); a
// Windows path that arrives in quotes loses them first.
std::string ArgumentTextFromArguments(int argc, const char* const* argv);

// The argument text of this process, built as above from its arguments.
std::string ProcessArgumentText();
