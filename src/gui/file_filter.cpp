#include "gui/file_filter.h"

#include <vector>

namespace molvane {
namespace {

std::vector<std::string> SplitAtBars(const std::string& text) {
  std::vector<std::string> parts;
  std::string::size_type begin = 0;
  while (begin <= text.size()) {
    const auto bar = text.find('|', begin);
    const auto end = bar == std::string::npos ? text.size() : bar;
    parts.push_back(text.substr(begin, end - begin));
    begin = end + 1;
  }
  return parts;
}

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

// Qt takes the patterns from the label's last parentheses, so a label that already shows its
// patterns ("Text (*.txt)") loses them here and gets them back in Qt's spelling.
std::string LabelWithoutPatterns(const std::string& label) {
  const std::string trimmed = Trimmed(label);
  if (trimmed.empty() || trimmed.back() != ')') return trimmed;
  const auto open = trimmed.rfind('(');
  if (open == std::string::npos) return trimmed;
  return Trimmed(trimmed.substr(0, open));
}

std::string QtPatterns(const std::string& patterns) {
  std::string words;
  std::string::size_type begin = 0;
  while (begin <= patterns.size()) {
    const auto semicolon = patterns.find(';', begin);
    const auto end = semicolon == std::string::npos ? patterns.size() : semicolon;
    const std::string word = Trimmed(patterns.substr(begin, end - begin));
    if (!word.empty()) words += (words.empty() ? "" : " ") + word;
    begin = end + 1;
  }
  return words;
}

}  // namespace

std::string QtFileFilter(const std::string& filter) {
  const std::vector<std::string> parts = SplitAtBars(filter);
  std::string result;
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i].empty()) break;  // the list's terminator
    const std::string patterns = QtPatterns(parts[i + 1]);
    if (patterns.empty()) continue;
    const std::string label = LabelWithoutPatterns(parts[i]);
    if (!result.empty()) result += ";;";
    result += (label.empty() ? "" : label + " ") + "(" + patterns + ")";
  }
  return result;
}

}  // namespace molvane
