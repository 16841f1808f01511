// Input paths as the user names them: the value of -inputone and the lines of
// an -inputmulti list file.
#pragma once
#include <string>
#include <vector>

#include "platform/host_file.h"

// One input: the Windows path to convert or, when `failure` is set, the name
// as given and why it cannot be converted.
struct InputEntry {
    std::string path;
    const char* failure;
};

InputEntry InputFromText(const std::string& text);

// Largest list file read; a larger one is refused whole.
const size_t largestListFile = 16 * 1024 * 1024;

// The inputs of the list file named by `listText`, one per line, empty lines
// skipped. The file is read whole before anything is converted, so that a
// list rewritten meanwhile changes nothing.
TextFileResult ReadInputList(const std::string& listText, std::vector<InputEntry>& inputs);
