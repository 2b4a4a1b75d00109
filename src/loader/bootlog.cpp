#include "loader/bootlog.h"

#include <cstdio>

#include "base/file_content.h"

namespace molvane {

Bootlog::Bootlog(const std::string& folder)
    : path(folder.empty() ? std::string(kFileName) : folder + "/" + kFileName) {}

// An unwritable log, or a FIFO or a device in its place, is skipped: the update matters more
// than its record.
void Bootlog::Start() { static_cast<void>(ReplaceFileContent(path, "")); }

void Bootlog::Write(const std::string& text) {
  FileFault fault = FileFault::None;
  std::uintmax_t size = 0;
  if (const FileHandle file = OpenAppendFile(path, fault, size))
    std::fputs(text.c_str(), file.get());
}

}  // namespace molvane
