// Who has a device open, read from the process table: each /proc/PID/fd entry is a link to
// the file the process holds.
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <system_error>

#include "link/port_holder.h"

namespace molvane {
namespace {

namespace fs = std::filesystem;

std::string FirstLine(const fs::path& file) {
  std::ifstream in(file);
  std::string line;
  std::getline(in, line);
  return line;
}

// /proc/PID/cmdline separates the arguments with NULs.
std::string CommandLine(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  while (!text.empty() && text.back() == '\0') text.pop_back();
  for (char& c : text) {
    if (c == '\0') c = ' ';
  }
  return text;
}

// Compared by the file's identity, not by name: a device may be reached by several names, and
// the standard library's equivalence test refuses to compare two device files at all.
struct FileIdentity {
  dev_t device = 0;
  ino_t inode = 0;
};

bool IdentityOf(const fs::path& path, FileIdentity& identity) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return false;
  identity = {info.st_dev, info.st_ino};
  return true;
}

enum class Holding { No, Yes, Hidden };

// `skipped` is a descriptor of the process not to count (-1: none). Hidden: the system does not
// let us read the process's open files; a process that has ended meanwhile holds nothing.
Holding HoldsDevice(const fs::path& fdFolder, const FileIdentity& device, int skipped) {
  std::error_code error;
  fs::directory_iterator fd(fdFolder, error);
  if (error) return error == std::errc::no_such_file_or_directory ? Holding::No : Holding::Hidden;
  for (const fs::directory_iterator end; !error && fd != end; fd.increment(error)) {
    if (skipped >= 0 && fd->path().filename() == std::to_string(skipped)) continue;
    FileIdentity held;
    if (IdentityOf(fd->path(), held) && held.device == device.device && held.inode == device.inode)
      return Holding::Yes;
  }
  return Holding::No;
}

bool IsKnownCulprit(const std::string& name) {
  for (const KnownCulprit& culprit : KnownCulprits()) {
    if (name == culprit.name) return true;
  }
  return false;
}

// The slave sides of pseudo-terminals have these major device numbers; with the minor number
// they give the terminal's index.
constexpr unsigned kFirstPtyMajor = 136;
constexpr unsigned kLastPtyMajor = 143;
constexpr unsigned kPtysPerMajor = 256;

// The index of the pseudo-terminal whose slave side the path is; -1 for any other file.
long PtyIndexOf(const std::string& devicePath) {
  struct stat info {};
  if (::stat(devicePath.c_str(), &info) != 0 || !S_ISCHR(info.st_mode)) return -1;
  const unsigned group = major(info.st_rdev);
  if (group < kFirstPtyMajor || group > kLastPtyMajor) return -1;
  return static_cast<long>((group - kFirstPtyMajor) * kPtysPerMajor + minor(info.st_rdev));
}

// Whether the process has the master side of pseudo-terminal `index` open: the system describes
// each such descriptor with the index it serves.
bool HoldsMasterOf(const fs::path& process, long index) {
  const std::string wanted = "tty-index:\t" + std::to_string(index);
  std::error_code error;
  for (fs::directory_iterator info(process / "fdinfo", error), end; !error && info != end;
       info.increment(error)) {
    std::ifstream in(info->path());
    for (std::string line; std::getline(in, line);) {
      if (line == wanted) return true;
    }
  }
  return false;
}

}  // namespace

PortHolderSearch SearchPortHolders(const std::string& devicePath, const std::string& procRoot,
                                   int ownDescriptor) {
  PortHolderSearch search;
  FileIdentity device;
  if (!IdentityOf(devicePath, device)) return search;
  const long ptyIndex = PtyIndexOf(devicePath);
  const std::string self = std::to_string(::getpid());
  std::error_code error;
  for (fs::directory_iterator entry(procRoot, error), end; !error && entry != end;
       entry.increment(error)) {
    const std::string name = entry->path().filename().string();
    if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) continue;
    const int skipped = name == self ? ownDescriptor : -1;
    const Holding holding = HoldsDevice(entry->path() / "fd", device, skipped);
    if (holding == Holding::No) continue;
    if (holding == Holding::Hidden) {
      ++search.hiddenCount;
      // Only a real port's hidden holders matter, and only its costs a look at their names.
      const std::string program = ptyIndex < 0 ? FirstLine(entry->path() / "comm") : "";
      if (IsKnownCulprit(program))
        search.hiddenCulprits.push_back(
            {std::stoi(name), program, CommandLine(entry->path() / "cmdline")});
      continue;
    }
    if (ptyIndex >= 0 && HoldsMasterOf(entry->path(), ptyIndex)) continue;
    search.holders.push_back({std::stoi(name), FirstLine(entry->path() / "comm"),
                              CommandLine(entry->path() / "cmdline")});
  }
  // Not the administrator: the table may not even list other users' programs.
  search.othersHidden = ptyIndex < 0 && (::geteuid() != 0 || search.hiddenCount > 0);
  return search;
}

const std::vector<KnownCulprit>& KnownCulprits() {
  static const std::vector<KnownCulprit> culprits = {
      {"ModemManager", "probes every new serial device for a modem",
       "sudo systemctl stop ModemManager (or disable it: sudo systemctl disable --now "
       "ModemManager)"},
      {"brltty", "claims FTDI adapters as braille displays",
       "sudo systemctl mask brltty-udev.service && sudo systemctl stop brltty-udev.service "
       "(or remove it: sudo apt remove brltty)"},
  };
  return culprits;
}

}  // namespace molvane
