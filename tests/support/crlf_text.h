#pragma once
#include <string>
#include <string_view>

namespace testing_support {

// A text file as it comes back from a mail client or a Windows editor. Some turn every line
// feed into CR LF; others leave a CR LF that is there alone and turn only the bare line feeds.
inline std::string LineFeedsAsCrLf(std::string_view text, bool keepCrLf) {
  std::string converted;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && !(keepCrLf && i > 0 && text[i - 1] == '\r')) converted += '\r';
    converted += text[i];
  }
  return converted;
}

}  // namespace testing_support
