#include "base/file_content.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <random>
#include <system_error>
#include <thread>

namespace molvane {
namespace {

// Beside the target, so the rename stays on one file system; unique for this process, thread
// and moment, and random across processes.
std::string TemporaryNameFor(const std::string& path) {
  static std::atomic<std::uint64_t> writes{0};
  static const std::uint64_t process =
      std::random_device{}() ^ (std::uint64_t{std::random_device{}()} << 32);
  const std::uint64_t mixed =
      process ^ std::hash<std::thread::id>{}(std::this_thread::get_id()) ^
      static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  char tail[48];
  std::snprintf(tail, sizeof tail, ".%016llx-%llu.tmp~", static_cast<unsigned long long>(mixed),
                static_cast<unsigned long long>(++writes));
  return path + tail;
}

constexpr auto kAnyWrite = std::filesystem::perms::owner_write |
                           std::filesystem::perms::group_write |
                           std::filesystem::perms::others_write;

// A file nobody may write was made read-only on purpose: the rename must not get round that.
bool IsReadOnly(const std::filesystem::file_status& status) {
  return std::filesystem::is_regular_file(status) &&
         (status.permissions() & kAnyWrite) == std::filesystem::perms::none;
}

// The new file takes the permissions of the one it replaces (a file kept from other users
// stays so); a new target keeps what the process creates files with.
void KeepPermissions(const std::filesystem::file_status& target, const std::string& temporary) {
  if (!std::filesystem::is_regular_file(target)) return;
  std::error_code error;
  std::filesystem::permissions(temporary, target.permissions(),
                               std::filesystem::perm_options::replace, error);
}

// A symbolic link stays a link: the file it names is the one replaced (a configuration file
// kept elsewhere and linked in would otherwise be cut loose and go on holding the old content).
// A link that leads nowhere names the file to create; a loop of links is written as it stands.
std::string FileBehindLinks(const std::string& path) {
  constexpr int kMaxLinks = 40;  // as far as the system itself follows a chain
  std::filesystem::path file(path);
  for (int step = 0; step < kMaxLinks; ++step) {
    std::error_code error;
    if (!std::filesystem::is_symlink(std::filesystem::symlink_status(file, error))) {
      return file.string();
    }
    const std::filesystem::path target = std::filesystem::read_symlink(file, error);
    if (error) return file.string();
    file = target.is_absolute() ? target : file.parent_path() / target;
  }
  return path;
}

}  // namespace

bool ReplaceFileContent(const std::string& linkOrPath, const std::string& content) {
  if (linkOrPath.empty()) return false;
  const std::string path = FileBehindLinks(linkOrPath);
  std::error_code statusError;
  const std::filesystem::file_status target = std::filesystem::status(path, statusError);
  if (IsReadOnly(target)) return false;
  const std::string temporary = TemporaryNameFor(path);
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  if (file == nullptr) return false;
  // A full disk shows at the write, the flush or the close; any of them keeps the old file.
  bool ok = std::fwrite(content.data(), 1, content.size(), file) == content.size();
  ok = std::fflush(file) == 0 && ok;
  ok = std::fclose(file) == 0 && ok;
  if (ok) {
    KeepPermissions(target, temporary);
    std::error_code error;
    std::filesystem::rename(temporary, path, error);  // replaces an existing target everywhere
    ok = !error;
  }
  if (!ok) std::remove(temporary.c_str());
  return ok;
}

ReadResult ReadFileContent(const std::string& path, std::string& content, std::size_t maxBytes) {
  errno = 0;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return errno == ENOENT ? ReadResult::Missing : ReadResult::NotOpened;
  char buffer[4096];
  std::size_t read = 0;
  std::size_t got = 0;
  ReadResult result = ReadResult::Ok;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
    if (got > maxBytes - read) {
      result = ReadResult::TooLarge;
      break;
    }
    content.append(buffer, got);
    read += got;
  }
  if (result == ReadResult::Ok && std::ferror(file) != 0) result = ReadResult::ReadError;
  std::fclose(file);
  return result;
}

}  // namespace molvane
