// Who has a device open, read from the process table: each /proc/PID/fd entry is a link to
// the file the process holds.
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

bool HoldsDevice(const fs::path& fdFolder, const fs::path& device) {
  std::error_code error;
  for (fs::directory_iterator fd(fdFolder, error), end; !error && fd != end; fd.increment(error)) {
    std::error_code linkError;
    const fs::path target = fs::read_symlink(fd->path(), linkError);
    if (!linkError && fs::equivalent(target, device, linkError) && !linkError) return true;
  }
  return false;
}

}  // namespace

std::vector<PortHolder> FindPortHolders(const std::string& devicePath,
                                        const std::string& procRoot) {
  std::vector<PortHolder> holders;
  std::error_code error;
  const fs::path device = fs::canonical(devicePath, error);
  if (error) return holders;
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

}  // namespace molvane
