#include "app/replace_file.h"

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
