// The bitmap upload's reader of command files: any file the operator picks.
#include <cstdio>
#include <memory>

#include "fuzz_support.h"
#include "loader/command_file_lines.h"

namespace {
struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = fuzzing::WriteInput(data, size, "upload.txt");
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  fuzzing::Require(file != nullptr, "scratch file not readable");
  std::string line;
  int count = 0;
  while (molvane::ReadCommandLine(file.get(), line)) {
    ++count;
    fuzzing::Require(line.size() <= 254, "a piece longer than the reader takes");
    fuzzing::Require(static_cast<std::size_t>(count) <= size, "more lines than bytes");
  }
  fuzzing::Require(molvane::CountCommandLines(path) == count, "counting and reading disagree");
  return 0;
}
