#include "app/file_content.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace molvane {

bool ReplaceFileContent(const std::string& path, const std::string& content) {
  if (path.empty()) return false;
  const std::string temporary = path + ".tmp~";
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  if (file == nullptr) return false;
  // A full disk shows at the write, the flush or the close; any of them keeps the old file.
  bool ok = std::fwrite(content.data(), 1, content.size(), file) == content.size();
  ok = std::fflush(file) == 0 && ok;
  ok = std::fclose(file) == 0 && ok;
  if (ok) {
    std::error_code error;
    std::filesystem::rename(temporary, path, error);  // replaces an existing target everywhere
    ok = !error;
  }
  if (!ok) std::remove(temporary.c_str());
  return ok;
}

}  // namespace molvane

namespace molvane {

ReadResult ReadFileContent(const std::string& path, std::string& content, std::size_t maxBytes) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return ReadResult::NotOpened;
  char buffer[4096];
  std::size_t read = 0;
  std::size_t got = 0;
  ReadResult result = ReadResult::Ok;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
    if (got > maxBytes - read) {
      result = ReadResult::TooLarge;
      break;
    }
    content.append(buffer, got);
    read += got;
  }
  if (result == ReadResult::Ok && std::ferror(file) != 0) result = ReadResult::ReadError;
  std::fclose(file);
  return result;
}

}  // namespace molvane
