#include "loader/command_file_lines.h"

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
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return 0;
  int count = 0;
  std::string line;
  while (ReadCommandLine(file, line)) ++count;
  std::fclose(file);
  return count;
}

}  // namespace molvane
