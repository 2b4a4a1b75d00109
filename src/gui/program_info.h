#pragma once

namespace molvane {

// `molvane --help` (or -h) prints the usage and `molvane --version` the version, before any
// window or display is needed, and the program ends. True when one of them was asked for and
// printed.
bool PrintProgramInfo(int argc, char** argv);

}  // namespace molvane
