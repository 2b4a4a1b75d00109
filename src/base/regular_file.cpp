#include "base/regular_file.h"

#include <filesystem>
#include <system_error>

namespace molvane {

std::string FileFaultText(FileFault fault) {
  switch (fault) {
    case FileFault::None:
      return {};
    case FileFault::Missing:
      return "does not exist";
    case FileFault::NotRegular:
      return "is not a regular file (a FIFO, a device or a folder)";
    case FileFault::ForeignLink:
      return "is a symbolic link that belongs to another user, which is not followed";
    case FileFault::NotOpened:
      break;
  }
  return "cannot be opened";
}

bool FollowOwnLinks(const std::string& path, std::string& file) {
  constexpr int kMaxLinks = 40;  // as far as the system itself follows a chain
  namespace fs = std::filesystem;
  fs::path at(path);
  file.clear();
  for (int step = 0; step < kMaxLinks; ++step) {
    std::error_code error;
    if (!fs::is_symlink(fs::symlink_status(at, error))) {
      file = at.string();
      return true;
    }
    // Asked again once read, so that a link swapped for another's meanwhile is not taken.
    if (!IsOwnLink(at.string())) return false;
    const fs::path target = fs::read_symlink(at, error);
    if (error) break;
    if (!IsOwnLink(at.string())) return false;
    at = target.is_absolute() ? target : at.parent_path() / target;
  }
  file = path;
  return true;
}

}  // namespace molvane
