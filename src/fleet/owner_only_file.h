#pragma once
#include <string>

namespace molvane {

// Makes the file, empty, for its owner alone, unless it exists: the store holds who opened which
// drawer, and the holder directory PINs. False when it could not be made. On Windows the user's
// application data folder is already the user's own.
bool MakeOwnerOnlyFile(const std::string& path);

}  // namespace molvane
