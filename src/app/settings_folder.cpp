#include "app/settings_folder.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace molvane {
namespace {

namespace fs = std::filesystem;

bool UnderUsr(const std::string& folder) {
  return folder == "/usr" || folder.rfind("/usr/", 0) == 0;
}

// A missing folder is kept: writing there fails and says so, as it always did.
bool OwnFolderUsable(const std::string& folder) {
  if (UnderUsr(folder)) return false;
  std::error_code error;
  return !fs::is_directory(folder, error) || ::access(folder.c_str(), W_OK) == 0;
}

// The base directory rules ignore a relative XDG_CONFIG_HOME.
fs::path UserConfigFolder() {
  const char* configHome = std::getenv("XDG_CONFIG_HOME");
  if (configHome != nullptr && fs::path(configHome).is_absolute()) return configHome;
  const char* home = std::getenv("HOME");
  if (home != nullptr && *home != '\0') return fs::path(home) / ".config";
  return {};
}

}  // namespace

std::string SettingsFolder(const std::string& programFolder) {
  if (OwnFolderUsable(programFolder)) return programFolder;
  const fs::path base = UserConfigFolder();
  if (base.empty()) return programFolder;
  const fs::path folder = base / "molvane";
  // A folder that cannot be made is still named: writing there then fails with its name.
  std::error_code error;
  if (fs::create_directories(folder, error)) {
    fs::permissions(folder, fs::perms::owner_all, error);
  }
  return folder.string();
}

}  // namespace molvane
