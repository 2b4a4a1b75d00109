#pragma once
#include <string>

namespace molvane {

// One entry of a settings file, read when it is needed rather than at start-up: a setting that
// only some commands use (where the fleet store is) need not be held by the controller. Empty
// when the file, its section or the entry is missing.
std::string ReadConfigEntry(const std::string& configPath, const std::string& section,
                            const std::string& key);

}  // namespace molvane
