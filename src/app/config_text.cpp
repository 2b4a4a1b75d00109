#include "app/config_text.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace molvane {
namespace {

constexpr std::size_t kShortestUsefulText = 20;
constexpr auto npos = std::string::npos;

// The three search texts of one entry, in the capitals the file holds.
struct EntryTags {
  std::string start;  // <SECTION>
  std::string end;    // </SECTION>
  std::string key;    // [KEY]
};

std::string Capitals(std::string name) {
  for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return name;
}

EntryTags MakeTags(const std::string& section, const std::string& key) {
  const std::string name = Capitals(section);
  return {"<" + name + ">", "</" + name + ">", "[" + Capitals(key) + "]"};
}

std::string QuotedEntryTail(const std::string& value) { return " \"" + value + "\""; }

std::string CrLfToLf(const std::string& raw) {
  std::string out;
  out.reserve(raw.size());
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') continue;
    out += raw[i];
  }
  return out;
}

std::string LfToCrLf(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
    out += text[i];
  }
  return out;
}

}  // namespace

ReadResult ConfigText::Read(const std::string& path) {
  text.clear();
  std::string raw;
  if (const ReadResult result = ReadFileContent(path, raw); result != ReadResult::Ok) return result;
  if (raw.find('\n') != npos) crlf = raw.find("\r\n") != npos;
  text = CrLfToLf(raw);
  // An unterminated last line is kept and terminated, so that rewriting the file never drops it.
  if (!text.empty() && text.back() != '\n') text += '\n';
  return ReadResult::Ok;
}

bool ConfigText::Save(const std::string& path) const {
  return ReplaceFileContent(path, crlf ? LfToCrLf(text) : text);
}

void ConfigText::Clear() { text.clear(); }

std::string ConfigText::GetValue(const std::string& section, const std::string& key) const {
  if (text.size() < kShortestUsefulText) return {};
  const EntryTags tags = MakeTags(section, key);
  const std::size_t start = text.find(tags.start);
  if (start == npos) return {};
  const std::size_t end = text.find(tags.end, start);
  if (end == npos) return {};
  const std::size_t at = text.find(tags.key, start);
  if (at == npos || at > end) return {};
  const std::size_t lineEnd = text.find('\n', at);
  if (lineEnd == npos) return {};
  const std::size_t open = text.find('"', at);
  if (open == npos || open >= lineEnd) return {};
  const std::size_t close = text.find('"', open + 1);
  if (close == npos || close >= lineEnd) return {};
  return text.substr(open + 1, close - open - 1);
}

bool ConfigText::SetValue(const std::string& section, const std::string& key,
                          const std::string& value) {
  const EntryTags tags = MakeTags(section, key);
  // The end tag only counts behind its start tag; one in front of it would send the new entry
  // outside the section.
  auto findEnd = [&](std::size_t from) { return text.find(tags.end, from == npos ? 0 : from); };
  std::size_t start = text.find(tags.start);
  std::size_t end = findEnd(start);
  if (start == npos && end == npos) {
    if (!text.empty() && text.back() != '\n') text += '\n';
    text += tags.start + "\n\t" + tags.key + "\n" + tags.end + "\n";
    start = text.find(tags.start);
    end = findEnd(start);
  }
  if (start == npos || end == npos) return false;
  const std::size_t at = text.find(tags.key, start);
  if (at == npos) {
    // The new entry becomes the section's last line.
    const std::string entry = "\n\t" + tags.key + QuotedEntryTail(value);
    if (text[end - 1] == '\n') {
      text.insert(end - 1, entry);
    } else {
      text.insert(end, entry + "\n");
    }
    return true;
  }
  if (at > end) return false;
  const std::size_t bracket = text.find(']', at);
  std::size_t lineEnd = text.find('\n', bracket);
  // A line that holds the end tag as well keeps it.
  if (lineEnd == npos || lineEnd > end) lineEnd = end;
  text.replace(bracket + 1, lineEnd - bracket - 1, QuotedEntryTail(value));
  return true;
}

}  // namespace molvane
