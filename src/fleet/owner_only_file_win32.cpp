#include <cstdio>

#include "fleet/owner_only_file.h"

namespace molvane {

bool MakeOwnerOnlyFile(const std::string& path) {
  if (std::FILE* existing = std::fopen(path.c_str(), "rb")) {
    std::fclose(existing);
    return true;
  }
  std::FILE* made = std::fopen(path.c_str(), "wb");
  if (made == nullptr) return false;
  std::fclose(made);
  return true;
}

}  // namespace molvane
