#include "app/settings_folder.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "base/file_content.h"

namespace molvane {
namespace {

namespace fs = std::filesystem;

char Separator(PathStyle style) { return style == PathStyle::Windows ? '\\' : '/'; }

std::string Normalized(std::string path, PathStyle style) {
  if (style == PathStyle::Windows) {
    for (char& c : path) {
      if (c == '/') c = '\\';
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
  }
  while (path.size() > 1 && path.back() == Separator(style)) path.pop_back();
  return path;
}

void MakeUserFolder(const std::string& folder) {
  // A folder that cannot be made is still named: writing there then fails with its name.
  std::error_code error;
  if (fs::create_directories(folder, error)) {
    fs::permissions(folder, fs::perms::owner_all, error);
  }
}

}  // namespace

bool IsWithinFolder(const std::string& path, const std::string& folder, PathStyle style) {
  if (path.empty() || folder.empty()) return false;
  const std::string inside = Normalized(path, style);
  const std::string outside = Normalized(folder, style);
  if (inside == outside) return true;
  const char separator = Separator(style);
  return inside.size() > outside.size() && inside.compare(0, outside.size(), outside) == 0 &&
         (inside[outside.size()] == separator || outside.back() == separator);
}

bool KeepsFiles(const std::string& folder, const FolderRules& rules, const WritableTest& writable) {
  const bool system = std::any_of(
      rules.systemFolders.begin(), rules.systemFolders.end(),
      [&](const std::string& system) { return IsWithinFolder(folder, system, rules.style); });
  return !system && writable(folder);
}

std::string ChooseSettingsFolder(const std::string& programFolder, const FolderRules& rules,
                                 const WritableTest& writable) {
  if (rules.userFolder.empty() || KeepsFiles(programFolder, rules, writable)) return programFolder;
  return rules.userFolder;
}

std::string SettingsFolder(const std::string& programFolder) {
  const std::string folder =
      ChooseSettingsFolder(programFolder, SystemFolderRules(), FolderWritable);
  if (folder != programFolder) {
    MakeUserFolder(folder);
    CopyPortableSettings(programFolder, folder);
  }
  return folder;
}

std::string TraceFolder(const std::string& startFolder, const std::string& programFolder) {
  if (KeepsFiles(startFolder, SystemFolderRules(), FolderWritable)) return startFolder;
  return SettingsFolder(programFolder);
}

bool CopyPortableSettings(const std::string& programFolder, const std::string& settingsFolder) {
  const fs::path target = fs::path(settingsFolder) / kConfigFileName;
  const fs::path source = fs::path(programFolder) / kConfigFileName;
  std::error_code error;
  // Also when the two are one folder: the file is then there already.
  if (fs::exists(target, error) || error) return false;
  std::string content;
  if (ReadFileContent(source.string(), content) != ReadResult::Ok) return false;
  return ReplaceFileContent(target.string(), content);
}

}  // namespace molvane
