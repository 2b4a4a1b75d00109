#include "base/file_tail.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace molvane {

ReadResult ReadFileTail(const std::string& path, std::size_t maxBytes, std::string& content,
                        std::uintmax_t& size) {
  size = 0;
  FileFault fault = FileFault::None;
  const FileHandle file = OpenRegularFile(path, fault);
  if (!file) return fault == FileFault::NotRegular ? ReadResult::NotRegular : ReadResult::NotOpened;
  std::error_code error;
  size = std::filesystem::file_size(path, error);
  if (error) return ReadResult::ReadError;
  const std::uintmax_t kept = size < maxBytes ? size : maxBytes;
  // Counted back from the end, which the file has now: it may have grown since it was measured.
  if (kept > 0 && std::fseek(file.get(), -static_cast<long>(kept), SEEK_END) != 0)
    return ReadResult::ReadError;
  const std::size_t start = content.size();
  content.resize(start + static_cast<std::size_t>(kept));
  const std::size_t got =
      std::fread(content.data() + start, 1, static_cast<std::size_t>(kept), file.get());
  content.resize(start + got);
  return got == kept ? ReadResult::Ok : ReadResult::ReadError;
}

}  // namespace molvane
