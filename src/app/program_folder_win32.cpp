#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "app/program_folder.h"

namespace molvane {

std::string ProgramFolder() {
  // Longer than the classic 256-character limit so that a deep install folder is not cut.
  char path[MAX_PATH * 4];
  const DWORD length = ::GetModuleFileNameA(nullptr, path, sizeof path);
  if (length == 0 || length >= sizeof path) return ".";  // failed or truncated
  const std::string full(path, length);
  const auto cut = full.find_last_of('\\');
  if (cut == std::string::npos) return ".";
  return full.substr(0, cut);
}

}  // namespace molvane
