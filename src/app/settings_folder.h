#pragma once
#include <string>

namespace molvane {

// The folder that Molvane.cfg and the desktop program's bootlog.txt go in, for a program file in
// `programFolder`. A build folder or the Windows portable folder is the program's own, as it
// always was. A program installed where its user may not write keeps them in the user's
// configuration folder, $XDG_CONFIG_HOME/molvane or else ~/.config/molvane, made (for its owner
// alone) when first asked for; so does one installed under /usr, even when run by root, since
// the package manager owns that tree. Without either variable the program folder is kept.
std::string SettingsFolder(const std::string& programFolder);

}  // namespace molvane
