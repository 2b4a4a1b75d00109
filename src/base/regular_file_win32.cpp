// Regular files on Windows: only a file on a disk is taken, never a device or a pipe, and new
// files are made exclusively and flushed.
#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <cerrno>

#include "base/regular_file.h"

namespace molvane {
namespace {

FileHandle Checked(std::FILE* file, FileFault& fault, std::uintmax_t* size) {
  if (file == nullptr) {
    fault = errno == ENOENT ? FileFault::Missing : FileFault::NotOpened;
    return {};
  }
  FileHandle handle(file);
  const HANDLE os = reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(file)));
  if (::GetFileType(os) != FILE_TYPE_DISK) {
    fault = FileFault::NotRegular;
    return {};
  }
  if (size != nullptr) {
    const __int64 length = ::_filelengthi64(::_fileno(file));
    *size = length > 0 ? static_cast<std::uintmax_t>(length) : 0;
  }
  fault = FileFault::None;
  return handle;
}

// A folder will not open as a file at all; it is told apart first, as no regular file.
bool IsFolder(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

bool IsOwnLink(const std::string&) { return true; }

FileHandle OpenRegularFile(const std::string& path, FileFault& fault) {
  if (IsFolder(path)) {
    fault = FileFault::NotRegular;
    return {};
  }
  return Checked(std::fopen(path.c_str(), "rb"), fault, nullptr);
}

FileHandle OpenAppendFile(const std::string& path, FileFault& fault, std::uintmax_t& size) {
  size = 0;
  std::string file;
  if (!FollowOwnLinks(path, file)) {
    fault = FileFault::ForeignLink;
    return {};
  }
  if (IsFolder(file)) {
    fault = FileFault::NotRegular;
    return {};
  }
  return Checked(std::fopen(file.c_str(), "ab"), fault, &size);
}

CreateResult CreateNewFile(const std::string& path, const std::string& content) {
  const HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? CreateResult::Exists
                                                                       : CreateResult::Failed;
  }
  bool ok = true;
  std::size_t written = 0;
  while (ok && written < content.size()) {
    constexpr std::size_t kChunk = 1 << 20;
    const DWORD piece = static_cast<DWORD>(std::min(kChunk, content.size() - written));
    DWORD done = 0;
    ok = ::WriteFile(file, content.data() + written, piece, &done, nullptr) && done == piece;
    written += done;
  }
  ok = ok && ::FlushFileBuffers(file);
  ok = ::CloseHandle(file) && ok;
  if (!ok) {
    ::DeleteFileA(path.c_str());
    return CreateResult::Failed;
  }
  return CreateResult::Created;
}

}  // namespace molvane
