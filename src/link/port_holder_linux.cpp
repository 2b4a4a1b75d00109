// Who has a device open, read from the process table: each /proc/PID/fd entry is a link to
// the file the process holds.
#include <sys/stat.h>

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

bool HoldsDevice(const fs::path& fdFolder, const FileIdentity& device) {
  std::error_code error;
  for (fs::directory_iterator fd(fdFolder, error), end; !error && fd != end; fd.increment(error)) {
    FileIdentity held;
    if (IdentityOf(fd->path(), held) && held.device == device.device && held.inode == device.inode)
      return true;
  }
  return false;
}

}  // namespace

std::vector<PortHolder> FindPortHolders(const std::string& devicePath,
                                        const std::string& procRoot) {
  std::vector<PortHolder> holders;
  FileIdentity device;
  if (!IdentityOf(devicePath, device)) return holders;
  std::error_code error;
  for (fs::directory_iterator entry(procRoot, error), end; !error && entry != end;
       entry.increment(error)) {
    const std::string name = entry->path().filename().string();
    if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) continue;
    if (!HoldsDevice(entry->path() / "fd", device)) continue;
    holders.push_back({std::stoi(name), FirstLine(entry->path() / "comm"),
                       CommandLine(entry->path() / "cmdline")});
  }
  return holders;
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
