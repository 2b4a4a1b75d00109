#pragma once
#include <cstdio>
#include <string>

namespace molvane {

// Reads the next line of a command file, at most 254 characters at a time (a longer line comes in
// several pieces). A CR LF end is given as a lone LF, the same on every platform. False at the end.
bool ReadCommandLine(std::FILE* file, std::string& line);

// Lines the reader above would give; 0 when the file cannot be opened.
int CountCommandLines(const std::string& path);

}  // namespace molvane
