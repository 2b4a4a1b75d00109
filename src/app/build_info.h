#pragma once
#include <string>

namespace molvane {

// What support asks first: which program, built how, running on what. One "name: value" line
// each, ended by a line end.
std::string BuildInfoText();

// The operating system's name and release, as the system gives them.
std::string OperatingSystemText();

}  // namespace molvane
