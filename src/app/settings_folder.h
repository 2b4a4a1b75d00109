#pragma once
#include <functional>
#include <string>
#include <vector>

namespace molvane {

inline constexpr const char* kConfigFileName = "Molvane.cfg";

// Windows compares folder names without regard to case and takes either slash.
enum class PathStyle { Posix, Windows };

// What the choice of folders depends on besides the folder itself. SystemFolderRules() reads
// them from the running system; tests make them up.
struct FolderRules {
  PathStyle style = PathStyle::Posix;
  // Folders that belong to the system's installer, never written even by one who may: the
  // package manager's /usr, Windows' Program Files.
  std::vector<std::string> systemFolders;
  // The user's own folder for Molvane: $XDG_CONFIG_HOME/molvane or ~/.config/molvane on Linux,
  // %APPDATA%\Molvane on Windows. Empty when the system names none.
  std::string userFolder;
};

FolderRules SystemFolderRules();
// False only when files cannot be made in an existing folder. A missing folder counts as
// writable, so that it is kept and writing there fails with its name, as it always did.
bool FolderWritable(const std::string& folder);
using WritableTest = std::function<bool(const std::string& folder)>;

// `path` is `folder` or lies inside it.
bool IsWithinFolder(const std::string& path, const std::string& folder, PathStyle style);

// Files may be kept in `folder`: it lies in no system folder and may be written. A system
// folder is never tried for writing.
bool KeepsFiles(const std::string& folder, const FolderRules& rules, const WritableTest& writable);

// The folder that Molvane.cfg, the desktop program's bootlog.txt and the customer title go in,
// for a program file in `programFolder`. A build folder or the portable Windows folder is the
// program's own, as it always was. A program installed where its user may not write, or in a
// system folder (even when run by root or an administrator), keeps them in the user's folder.
// Without a user folder the program folder is kept.
std::string ChooseSettingsFolder(const std::string& programFolder, const FolderRules& rules,
                                 const WritableTest& writable);

// The choice above for the running system. The user's folder is made (for its owner alone)
// when first chosen, and a Molvane.cfg beside the program is copied into it when it has none
// (CopyPortableSettings).
std::string SettingsFolder(const std::string& programFolder);
// comlog.txt stays in the folder the program was started from where files may be kept there:
// the technician finds it where they worked. Started in the installed program's folder (as a
// shortcut starts it), it goes in the settings folder instead.
std::string TraceFolder(const std::string& startFolder, const std::string& programFolder);

// A portable folder moved where it may not be written, or installed over, still holds the
// technician's Molvane.cfg: it is copied into the settings folder when that has none, and never
// removed, so the portable copy keeps working. A user whose own file is gone gets that one
// again, as a new user of the same installation does. True when a file was copied.
bool CopyPortableSettings(const std::string& programFolder, const std::string& settingsFolder);

}  // namespace molvane
