#pragma once
#include <string>

namespace molvane {

// Writes the content byte for byte to a temporary file beside the target and renames it over
// the target, so a crash never leaves half a file. False (and no target touched) when the
// temporary file cannot be created or written, or the rename fails.
bool ReplaceFileContent(const std::string& path, const std::string& content);

// Every line of an exported file ends like this on every platform.
inline constexpr const char* kFileLineEnd = "\r\n";

}  // namespace molvane
