#include <unistd.h>

#include "app/program_folder.h"

namespace molvane {

std::string ProgramFolder() {
  char path[4096];
  const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return ".";
  std::string full(path, static_cast<std::size_t>(length));
  const auto cut = full.find_last_of('/');
  if (cut == std::string::npos) return ".";
  return cut == 0 ? "/" : full.substr(0, cut);
}

}  // namespace molvane
