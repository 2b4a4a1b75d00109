#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <shlobj.h>
#include <windows.h>

#include <filesystem>

#include "app/settings_folder.h"

namespace molvane {
namespace {

std::string KnownFolder(int csidl) {
  char path[MAX_PATH];
  if (::SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path) != S_OK) return {};
  return path;
}

}  // namespace

// An administrator may write in Program Files, and under Wine anyone may, so the folder itself
// is what tells an installed program.
FolderRules SystemFolderRules() {
  FolderRules rules;
  rules.style = PathStyle::Windows;
  for (const int csidl : {CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILESX86, CSIDL_WINDOWS}) {
    std::string folder = KnownFolder(csidl);
    if (!folder.empty()) rules.systemFolders.push_back(std::move(folder));
  }
  const std::string roaming = KnownFolder(CSIDL_APPDATA);
  if (!roaming.empty()) rules.userFolder = roaming + "\\Molvane";
  return rules;
}

// A folder's attributes and the process's rights do not tell whether a file can be made there
// (the folder's access list does, and a read-only attribute on a folder means nothing), so a
// file is made and removed again.
bool FolderWritable(const std::string& folder) {
  std::error_code error;
  if (!std::filesystem::is_directory(folder, error)) return true;
  char probe[MAX_PATH];
  if (::GetTempFileNameA(folder.c_str(), "mol", 0, probe) == 0) return false;
  ::DeleteFileA(probe);
  return true;
}

}  // namespace molvane
