#include "fuzz_support.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace fuzzing {

const std::string& ScratchFolder() {
  static const std::string folder = [] {
    char name[] = "/tmp/molvane-fuzz-XXXXXX";
    if (::mkdtemp(name) == nullptr) Fail("no scratch folder");
    return std::string(name);
  }();
  return folder;
}

std::string NoTraceFolder() { return ScratchFolder() + "/no-such-folder"; }

std::string WriteInput(const std::uint8_t* data, std::size_t size, const char* name) {
  const std::string path = ScratchFolder() + "/" + name;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) Fail("scratch file not writable");
  if (size > 0 && std::fwrite(data, 1, size, file) != size) Fail("scratch file not written");
  std::fclose(file);
  return path;
}

void Fail(const char* what) {
  std::fprintf(stderr, "fuzz rule broken: %s\n", what);
  std::abort();
}

}  // namespace fuzzing
