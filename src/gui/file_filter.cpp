#include "gui/file_filter.h"

namespace molvane {
namespace {

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

std::vector<std::string> Patterns(const std::string& patterns) {
  std::vector<std::string> words;
  std::string::size_type begin = 0;
  while (begin <= patterns.size()) {
    const auto semicolon = patterns.find(';', begin);
    const auto end = semicolon == std::string::npos ? patterns.size() : semicolon;
    const std::string word = Trimmed(patterns.substr(begin, end - begin));
    if (!word.empty()) words.push_back(word == "*.*" ? "*" : word);
    begin = end + 1;
  }
  return words;
}

}  // namespace

std::string QtFileFilter(const std::vector<FileType>& types) {
  std::string result;
  for (const FileType& type : types) {
    std::string patterns;
    for (const std::string& word : Patterns(type.patterns)) {
      patterns += (patterns.empty() ? "" : " ") + word;
    }
    if (patterns.empty()) continue;
    const std::string label = LabelWithoutPatterns(type.label);
    if (!result.empty()) result += ";;";
    result += (label.empty() ? "" : label + " ") + "(" + patterns + ")";
  }
  return result;
}

std::string SuffixForType(const FileType& type) {
  const std::vector<std::string> words = Patterns(type.patterns);
  if (words.size() != 1 || words[0].rfind("*.", 0) != 0) return {};
  const std::string suffix = words[0].substr(2);
  if (suffix.empty() || suffix.find_first_of("*?") != std::string::npos) return {};
  return suffix;
}

}  // namespace molvane
