#include "loader/command_file_lines.h"

#include "base/regular_file.h"

namespace molvane {
namespace {

constexpr int kPieceBuffer = 255;  // 254 characters and the terminator

}  // namespace

bool ReadCommandLine(std::FILE* file, std::string& line) {
  char buffer[kPieceBuffer];
  if (std::fgets(buffer, kPieceBuffer, file) == nullptr) return false;
  line = buffer;
  std::size_t size = line.size();
  if (size >= 2 && line[size - 2] == '\r' && line[size - 1] == '\n') line.erase(size - 2, 1);
  return true;
}

int CountCommandLines(const std::string& path) {
  FileFault fault = FileFault::None;
  const FileHandle file = OpenRegularFile(path, fault);
  if (!file) return 0;
  int count = 0;
  std::string line;
  while (ReadCommandLine(file.get(), line)) ++count;
  return count;
}

}  // namespace molvane
