#include "base/printable_text.h"

#include <cstdio>

namespace molvane {

std::string PrintableText(std::string_view text, std::size_t maxShown) {
  std::string shown;
  const std::size_t kept = text.size() > maxShown ? maxShown : text.size();
  for (std::size_t i = 0; i < kept; ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte == 0) {
      shown += "\\0";
    } else if (byte == '\\') {
      shown += "\\\\";
    } else if (byte < ' ' || byte > '~') {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
      shown += escaped;
    } else {
      shown += static_cast<char>(byte);
    }
  }
  if (kept < text.size()) shown += "... (" + std::to_string(text.size()) + " characters)";
  return shown;
}

}  // namespace molvane
