#include "fleet/holder_file.h"

#include <algorithm>
#include <map>

#include "base/file_content.h"
#include "cart/pin_list_file.h"
#include "fleet/stored_text.h"

namespace molvane {
namespace {

constexpr std::size_t kMaxHolderName = 200;

std::string_view Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

bool HasLetter(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u >= 0x80;
  });
}

// The second column of a line whose first one is the PIN's digits (`afterPin` is the rest).
std::string_view SecondColumn(std::string_view line, std::size_t afterPin) {
  const std::size_t tab = line.find('\t');
  char separator = '\t';
  std::size_t start = tab;
  if (tab == std::string_view::npos) {
    const std::size_t rest = line.find_first_not_of(' ', afterPin);
    if (rest == std::string_view::npos || (line[rest] != ',' && line[rest] != ';')) return {};
    separator = line[rest];
    start = rest;
  }
  const std::size_t end = line.find(separator, start + 1);
  std::string_view column =
      Trimmed(line.substr(start + 1, end == std::string_view::npos ? line.npos : end - start - 1));
  if (column.size() >= 2 && column.front() == '"' && column.back() == '"')
    column = Trimmed(column.substr(1, column.size() - 2));
  return column;
}

// A column as the store keeps it, cut to length at a character. Conversion comes first: NULs
// left out can leave a column with no letter, and a Latin-1 letter grows to two bytes.
std::string StoredName(std::string_view column) {
  std::string name(Trimmed(StoredText(column)));
  if (name.size() > kMaxHolderName) {
    std::size_t cut = kMaxHolderName;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
    name.resize(cut);
  }
  return name;
}

}  // namespace

std::vector<Holder> HoldersInText(std::string_view content) {
  std::map<std::uint32_t, std::string> named;
  std::vector<std::uint32_t> order;
  std::size_t lineStart = 0;
  while (lineStart < content.size()) {
    std::size_t lineEnd = content.find('\n', lineStart);
    if (lineEnd == std::string_view::npos) lineEnd = content.size();
    const std::string_view line = content.substr(lineStart, lineEnd - lineStart);
    lineStart = lineEnd + 1;
    const std::size_t digits = line.find_first_not_of(" \t");
    if (digits == std::string_view::npos || line[digits] < '0' || line[digits] > '9') continue;
    std::size_t afterPin = digits;
    while (afterPin < line.size() && line[afterPin] >= '0' && line[afterPin] <= '9') ++afterPin;
    const std::string_view pinText = line.substr(digits, afterPin - digits);
    if (!PinItemInRange(pinText)) continue;
    const std::string name = StoredName(SecondColumn(line, afterPin));
    if (!HasLetter(name)) continue;
    std::uint32_t pin = 0;
    for (const char c : pinText) pin = pin * 10 + static_cast<std::uint32_t>(c - '0');
    if (named.count(pin) == 0) order.push_back(pin);
    named[pin] = name;
  }
  std::vector<Holder> holders;
  for (const std::uint32_t pin : order) holders.push_back({pin, named[pin]});
  return holders;
}

Result<std::vector<Holder>> ReadHolderFile(const std::string& path) {
  std::string content;
  const ReadResult read = ReadFileContent(path, content, kMaxPinFileBytes);
  if (read == ReadResult::TooLarge) {
    return {{}, Outcome::Failure("The file " + path + " is too large for a PIN file.")};
  }
  if (read != ReadResult::Ok) return {{}, Outcome::Failure("Could not open " + path + ".")};
  std::vector<Holder> holders = HoldersInText(content);
  const int count = static_cast<int>(holders.size());
  return {std::move(holders), Outcome::Success({}, count, count)};
}

}  // namespace molvane
