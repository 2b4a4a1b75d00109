#pragma once
#include <string>

#include "base/file_content.h"

namespace molvane {

// The program's tagged settings text: sections between <NAME> and </NAME> lines, entries of the
// form TAB [KEY] "value". It is edited as one text with plain substring searches, so whatever
// else the file holds (notes, blank lines, other sections) survives a write untouched.
class ConfigText {
 public:
  // True when the file could be read. A file with CR LF line ends is kept in memory with LF and
  // written back with CR LF.
  bool Load(const std::string& path) { return Read(path) == ReadResult::Ok; }
  // Load, telling a missing file apart from one that exists but could not be read.
  ReadResult Read(const std::string& path);
  // True only when the whole text reached the file. The text goes to a temporary file beside
  // the target that is then renamed over it, so a failed write leaves the old file as it was.
  bool Save(const std::string& path) const;
  // The text between the first two quotes on the key's line; empty when anything is missing.
  std::string GetValue(const std::string& section, const std::string& key) const;
  // True when the text was changed.
  bool SetValue(const std::string& section, const std::string& key, const std::string& value);
  void Clear();

  const std::string& Text() const { return text; }
  void SetText(const std::string& newText) { text = newText; }
  bool UsesCrLf() const { return crlf; }

 private:
  std::string text;
  bool crlf = kNewFilesUseCrLf;

#ifdef _WIN32
  static constexpr bool kNewFilesUseCrLf = true;
#else
  static constexpr bool kNewFilesUseCrLf = false;
#endif
};

}  // namespace molvane
