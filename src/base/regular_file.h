#pragma once
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace molvane {

// Every file the programs read or write by name is a regular file, had through these: a FIFO or
// a device given where a file is expected (a backup, a firmware file, comlog.txt) would
// otherwise hold the program for ever at its opening, or be written into; and a symbolic link
// that another user planted in a shared folder must not lead a write (the administrator's
// above all) to a file of the planter's choosing.

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// Why a file could not be had. NotRegular: a FIFO, a device or a folder; ForeignLink: a
// symbolic link on the way belongs to another user.
enum class FileFault { None, Missing, NotRegular, ForeignLink, NotOpened };

// What follows the file's name in a message: "is not a regular file (a FIFO or a device)".
std::string FileFaultText(FileFault fault);

// An existing regular file, to read from its start. The opening never waits (a FIFO without a
// writer or a device is refused, not waited on).
FileHandle OpenRegularFile(const std::string& path, FileFault& fault);

// A regular file to append to, made (for this user) when missing; `size` gets its length before
// the append. Follows only the links FollowOwnLinks follows.
FileHandle OpenAppendFile(const std::string& path, FileFault& fault, std::uintmax_t& size);

// The file that `path` names after the chain of symbolic links there, each of which must belong
// to this user or to the administrator (who could write the file anyway): false, with
// `file` empty, for a link of another user. A link to nothing yet names the file to make; a
// loop of links, or a chain longer than the system follows, is given as it stands.
bool FollowOwnLinks(const std::string& path, std::string& file);
// Whether the symbolic link at `path` belongs to this user or to the administrator. Always so
// on Windows, where making a link takes a right of its own.
bool IsOwnLink(const std::string& path);

enum class CreateResult { Created, Exists, Failed };
// Makes `path` with `content` only where nothing is there by that name, links included
// (Exists, and nothing touched), and has it on the disk before it returns Created (its name too,
// where the file system syncs folders): what is written survives a crash or a pulled plug that
// follows. Failed leaves no file behind.
CreateResult CreateNewFile(const std::string& path, const std::string& content);

}  // namespace molvane
