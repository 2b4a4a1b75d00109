#include "cart/replace_file.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace molvane {
namespace {

bool WriteAll(const std::filesystem::path& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  out.close();
  return !out.fail();
}

}  // namespace

bool ReplaceFileContent(const std::string& path, const std::string& content) {
  if (path.empty()) return false;
  const std::filesystem::path target(path);
  std::filesystem::path temporary = target;
  temporary += ".tmp~";
  std::error_code error;
  if (!WriteAll(temporary, content)) {
    std::filesystem::remove(temporary, error);
    return false;
  }
  std::filesystem::rename(temporary, target, error);
  if (!error) return true;
  std::filesystem::remove(temporary, error);
  return false;
}

}  // namespace molvane
