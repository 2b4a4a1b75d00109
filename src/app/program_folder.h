#pragma once
#include <string>

namespace molvane {

// The folder that holds the running program file, without a trailing separator.
std::string ProgramFolder();

}  // namespace molvane
