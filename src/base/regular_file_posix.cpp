// Regular files on POSIX systems: openings that never block, checked on the descriptor they
// give, and new files made exclusively and synced.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "base/regular_file.h"

namespace molvane {
namespace {

constexpr mode_t kNewFileMode = 0666;  // less the process's umask, as any file it makes

FileFault FaultOf(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return FileFault::Missing;
    case ENXIO:  // a FIFO nobody reads, a device without its hardware
      return FileFault::NotRegular;
    default:
      return FileFault::NotOpened;
  }
}

// Looked at before the opening, since opening a device may act on it (a serial port's lines
// change); the descriptor is checked again, as it is what gets used.
bool IsSpecial(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode);
}

FileHandle Adopt(int fd, const char* mode, FileFault& fault, std::uintmax_t* size) {
  struct stat info {};
  const bool known = ::fstat(fd, &info) == 0;
  if (!known || !S_ISREG(info.st_mode)) {
    fault = known ? FileFault::NotRegular : FileFault::NotOpened;
    ::close(fd);
    return {};
  }
  // A regular file never made a read or write wait; the stream gets a plain descriptor.
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  if (size != nullptr) *size = static_cast<std::uintmax_t>(info.st_size);
  std::FILE* file = ::fdopen(fd, mode);
  if (file == nullptr) {
    ::close(fd);
    fault = FileFault::NotOpened;
    return {};
  }
  fault = FileFault::None;
  return FileHandle(file);
}

bool WriteAll(int fd, const std::string& content) {
  std::size_t written = 0;
  while (written < content.size()) {
    const ssize_t n = ::write(fd, content.data() + written, content.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    written += static_cast<std::size_t>(n);
  }
  return true;
}

// The new name is on the disk once its folder is; a file system that cannot sync a folder
// keeps its names by its own rules.
void SyncFolderOf(const std::string& path) {
  std::filesystem::path folder = std::filesystem::path(path).parent_path();
  if (folder.empty()) folder = ".";
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

bool IsOwnLink(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0) return false;
  return info.st_uid == ::geteuid() || info.st_uid == 0;
}

FileHandle OpenRegularFile(const std::string& path, FileFault& fault) {
  if (IsSpecial(path)) {
    fault = FileFault::NotRegular;
    return {};
  }
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    fault = FaultOf(errno);
    return {};
  }
  return Adopt(fd, "rb", fault, nullptr);
}

FileHandle OpenAppendFile(const std::string& path, FileFault& fault, std::uintmax_t& size) {
  size = 0;
  std::string file;
  if (!FollowOwnLinks(path, file)) {
    fault = FileFault::ForeignLink;
    return {};
  }
  if (IsSpecial(file)) {
    fault = FileFault::NotRegular;
    return {};
  }
  // The links were followed above: one found here now was put there since, and is not.
  const int fd = ::open(
      file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC,
      kNewFileMode);
  if (fd < 0) {
    fault = FaultOf(errno);
    return {};
  }
  return Adopt(fd, "ab", fault, &size);
}

CreateResult CreateNewFile(const std::string& path, const std::string& content) {
  const int fd =
      ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, kNewFileMode);
  if (fd < 0) return errno == EEXIST ? CreateResult::Exists : CreateResult::Failed;
  // A full disk shows at the write, the sync or the close.
  bool ok = WriteAll(fd, content);
  ok = ok && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  if (!ok) {
    ::unlink(path.c_str());
    return CreateResult::Failed;
  }
  SyncFolderOf(path);
  return CreateResult::Created;
}

}  // namespace molvane
