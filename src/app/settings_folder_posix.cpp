#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "app/settings_folder.h"

namespace molvane {
namespace {

namespace fs = std::filesystem;

// The base directory rules ignore a relative XDG_CONFIG_HOME.
fs::path UserConfigFolder() {
  const char* configHome = std::getenv("XDG_CONFIG_HOME");
  if (configHome != nullptr && fs::path(configHome).is_absolute()) return configHome;
  const char* home = std::getenv("HOME");
  if (home != nullptr && *home != '\0') return fs::path(home) / ".config";
  return {};
}

}  // namespace

// Root may write everywhere, so /usr is what tells an installed program here.
FolderRules SystemFolderRules() {
  FolderRules rules;
  rules.systemFolders = {"/usr"};
  const fs::path base = UserConfigFolder();
  if (!base.empty()) rules.userFolder = (base / "molvane").string();
  return rules;
}

bool FolderWritable(const std::string& folder) {
  std::error_code error;
  return !fs::is_directory(folder, error) || ::access(folder.c_str(), W_OK) == 0;
}

}  // namespace molvane
