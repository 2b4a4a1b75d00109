#pragma once
#include <functional>
#include <string>

namespace molvane {

class CartController;

// Reads the record lines of a multi-line dump that has just been requested. The dump ends at the
// cart's prompt (also one glued to a record, which is then not a record), at a silent link or at
// an empty line. A cart that never sends its prompt is cut off after kMaxDumpLines lines.
inline constexpr int kMaxDumpLines = 65536;
void ReadDumpRecords(CartController& controller,
                     const std::function<void(const std::string&)>& onRecord);

}  // namespace molvane
