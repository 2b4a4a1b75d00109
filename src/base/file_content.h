#pragma once
#include <cstddef>
#include <limits>
#include <string>

#include "base/regular_file.h"

namespace molvane {

// A name shorter than this is no file a file dialog could have given.
inline constexpr std::size_t kShortestFileName = 3;
inline bool IsChosenFile(const std::string& path) { return path.size() >= kShortestFileName; }

// Writes the content byte for byte to a new temporary file beside the target, has it on the
// disk, and renames it over the target, so a crash never leaves half a file. The temporary name
// is new for every write, so two writers (two windows, a page and molvanectl) never share one,
// and a replaced file keeps its permissions. A symbolic link of this user's is written through:
// the file it leads to is replaced and the link stays. False (and no target touched) for a link
// of another user's, a target that is no regular file (a FIFO, a device), a read-only file,
// or when the temporary file cannot be made or written, or the rename fails.
bool ReplaceFileContent(const std::string& path, const std::string& content);

// Missing: there is no such file; NotOpened: it exists (or may) but cannot be opened;
// NotRegular: a FIFO, a device or a folder, which is never read.
enum class ReadResult { Ok, Missing, NotOpened, NotRegular, ReadError, TooLarge };

// Reads a whole file byte for byte into `content` (appended). A file longer than maxBytes is
// not read past that size and gives TooLarge, so an unexpected huge file cannot fill memory.
// Opened as OpenRegularFile opens (base/regular_file.h): a FIFO or a device is NotRegular at
// once, never waited on.
ReadResult ReadFileContent(const std::string& path, std::string& content,
                           std::size_t maxBytes = std::numeric_limits<std::size_t>::max());
// The reading's word for why a file could not be opened.
ReadResult ReadResultOf(FileFault fault);

// Every line of an exported file ends like this on every platform.
inline constexpr const char* kFileLineEnd = "\r\n";

}  // namespace molvane
