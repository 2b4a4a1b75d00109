#include "base/file_content.h"

#include <atomic>
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

}  // namespace

bool ReplaceFileContent(const std::string& linkOrPath, const std::string& content) {
  if (linkOrPath.empty()) return false;
  // A link stays a link, the file it leads to is the one replaced (a configuration file kept
  // elsewhere and linked in would otherwise be cut loose), unless another user made it.
  std::string path;
  if (!FollowOwnLinks(linkOrPath, path)) return false;
  std::error_code statusError;
  const std::filesystem::file_status target = std::filesystem::symlink_status(path, statusError);
  // A FIFO or a device would be swapped for a plain file (/dev/null as well, for root).
  if (std::filesystem::exists(target) && !std::filesystem::is_regular_file(target) &&
      !std::filesystem::is_symlink(target))
    return false;
  if (IsReadOnly(target)) return false;
  // Made afresh, so that nothing put there under its name is written through; on the disk before
  // the rename, so that a crash leaves the old file or the new one, never an empty one.
  const std::string temporary = TemporaryNameFor(path);
  if (CreateNewFile(temporary, content) != CreateResult::Created) return false;
  KeepPermissions(target, temporary);
  std::error_code error;
  std::filesystem::rename(temporary, path, error);  // replaces an existing target everywhere
  if (!error) return true;
  std::remove(temporary.c_str());
  return false;
}

ReadResult ReadFileContent(const std::string& path, std::string& content, std::size_t maxBytes) {
  FileFault fault = FileFault::None;
  const FileHandle file = OpenRegularFile(path, fault);
  if (!file) return ReadResultOf(fault);
  char buffer[4096];
  std::size_t read = 0;
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
    if (got > maxBytes - read) return ReadResult::TooLarge;
    content.append(buffer, got);
    read += got;
  }
  return std::ferror(file.get()) != 0 ? ReadResult::ReadError : ReadResult::Ok;
}

ReadResult ReadResultOf(FileFault fault) {
  switch (fault) {
    case FileFault::None:
      return ReadResult::Ok;
    case FileFault::Missing:
      return ReadResult::Missing;
    case FileFault::NotRegular:
      return ReadResult::NotRegular;
    default:
      return ReadResult::NotOpened;
  }
}

}  // namespace molvane
