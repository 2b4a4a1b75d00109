#include "loader/bootlog.h"

#include <cstdio>

namespace molvane {

Bootlog::Bootlog(const std::string& folder)
    : path(folder.empty() ? std::string(kFileName) : folder + "/" + kFileName) {}

void Bootlog::Start() {
  if (std::FILE* file = std::fopen(path.c_str(), "wb")) std::fclose(file);
}

void Bootlog::Write(const std::string& text) {
  // An unwritable log is skipped: the update matters more than its record.
  if (std::FILE* file = std::fopen(path.c_str(), "ab")) {
    std::fputs(text.c_str(), file);
    std::fclose(file);
  }
}

}  // namespace molvane
