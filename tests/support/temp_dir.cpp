#include "support/temp_dir.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace testing_support {

namespace {
// How many names are tried before giving up; a clash is rare, endless clashes mean a broken folder.
constexpr int kNameTries = 100;
}  // namespace

// A name nobody else holds, made with create_directory (which fails on an existing folder) so that
// the same code serves Linux and Windows, where mkdtemp does not exist.
TempDir::TempDir() {
  std::error_code error;
  const std::filesystem::path base = std::filesystem::temp_directory_path(error);
  std::random_device seed;
  std::mt19937_64 pick(seed());
  for (int i = 0; i < kNameTries && !error; ++i) {
    char name[40];
    std::snprintf(name, sizeof name, "molvane-test-%016llx",
                  static_cast<unsigned long long>(pick()));
    const std::filesystem::path candidate = base / name;
    if (std::filesystem::create_directory(candidate, error)) {
      path = candidate.generic_string();
      return;
    }
  }
  path = base.generic_string();  // as before: the shared folder, which is never removed
}

TempDir::~TempDir() {
  std::error_code ignored;
  if (std::filesystem::path(path).filename().string().rfind("molvane-test-", 0) == 0) {
    std::filesystem::remove_all(path, ignored);
  }
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
}

}  // namespace testing_support
