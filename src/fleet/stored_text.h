#pragma once
#include <string>
#include <string_view>

namespace molvane {

// A text as the store keeps it: UTF-8 that a PostgreSQL database takes. The cart's texts and a
// spreadsheet's names come in the PC's 8-bit code page as often as in UTF-8, so a byte that is
// not part of a UTF-8 sequence is read as Latin-1; NUL, which no server column holds, is left out.
// A text already in UTF-8 is kept as it is.
std::string StoredText(std::string_view text);

}  // namespace molvane
