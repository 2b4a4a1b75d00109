#pragma once
#include <cstddef>
#include <limits>
#include <string>

namespace molvane {

// A name shorter than this is no file a file dialog could have given.
inline constexpr std::size_t kShortestFileName = 3;
inline bool IsChosenFile(const std::string& path) { return path.size() >= kShortestFileName; }

// Writes the content byte for byte to a temporary file beside the target and renames it over
// the target, so a crash never leaves half a file. The temporary name is new for every write,
// so two writers (two windows, a page and molvanectl) never share one, and a replaced file
// keeps its permissions. A symbolic link is written through: the file it leads to is replaced
// and the link stays. False (and no target touched) when the temporary file cannot be created or
// written, or the rename fails.
bool ReplaceFileContent(const std::string& path, const std::string& content);

// Missing: there is no such file; NotOpened: it exists (or may) but cannot be opened.
enum class ReadResult { Ok, Missing, NotOpened, ReadError, TooLarge };

// Reads a whole file byte for byte into `content` (appended). A file longer than maxBytes is
// not read past that size and gives TooLarge, so an unexpected huge file cannot fill memory.
// The C stream reports a folder or an unreadable device as a read error instead of throwing.
ReadResult ReadFileContent(const std::string& path, std::string& content,
                           std::size_t maxBytes = std::numeric_limits<std::size_t>::max());

// Every line of an exported file ends like this on every platform.
inline constexpr const char* kFileLineEnd = "\r\n";

}  // namespace molvane
