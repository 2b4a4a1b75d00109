#pragma once
#include <string>
#include <string_view>

namespace molvane {

// SHA-256 of the bytes, as 64 lowercase hex digits: what sha256sum prints, so a technician can
// tell which firmware file went onto a board.
std::string Sha256Hex(std::string_view bytes);

// The hash of a file's content; empty when it cannot be read.
std::string FileSha256(const std::string& path);

}  // namespace molvane
