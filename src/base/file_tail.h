#pragma once
#include <cstdint>
#include <string>

#include "base/file_content.h"

namespace molvane {

// The last `maxBytes` of a file, appended to `content`; `size` gets the whole file's size, so
// the caller can tell that the start was cut off. A trace that has grown for weeks is never
// read whole. NotOpened for a file that is missing or cannot be opened, NotRegular for a FIFO
// or a device, which is never waited on.
ReadResult ReadFileTail(const std::string& path, std::size_t maxBytes, std::string& content,
                        std::uintmax_t& size);

}  // namespace molvane
