#include "base/file_tail.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace molvane {

ReadResult ReadFileTail(const std::string& path, std::size_t maxBytes, std::string& content,
                        std::uintmax_t& size) {
  size = 0;
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(path, error);
  if (!std::filesystem::exists(status)) return ReadResult::NotOpened;
  // A folder or a device has no end to count back from.
  if (!std::filesystem::is_regular_file(status)) return ReadResult::ReadError;
  std::ifstream in(path, std::ios::binary);
  if (!in) return ReadResult::NotOpened;
  if (!in.seekg(0, std::ios::end)) return ReadResult::ReadError;
  const std::streamoff end = in.tellg();
  if (end < 0) return ReadResult::ReadError;
  size = static_cast<std::uintmax_t>(end);
  const std::uintmax_t kept = size < maxBytes ? size : maxBytes;
  if (!in.seekg(static_cast<std::streamoff>(size - kept), std::ios::beg))
    return ReadResult::ReadError;
  const std::size_t start = content.size();
  content.resize(start + static_cast<std::size_t>(kept));
  if (kept > 0 && !in.read(content.data() + start, static_cast<std::streamsize>(kept))) {
    content.resize(start + static_cast<std::size_t>(in.gcount()));
    return ReadResult::ReadError;
  }
  return ReadResult::Ok;
}

}  // namespace molvane
