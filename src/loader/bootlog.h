#pragma once
#include <string>

namespace molvane {

// bootlog.txt: the record of the last bootloader header exchange. Emptied when an exchange
// starts; each line is appended on its own so that a crash loses nothing.
class Bootlog {
 public:
  static constexpr const char* kFileName = "bootlog.txt";

  explicit Bootlog(const std::string& folder);
  void Start();
  void Write(const std::string& text);
  const std::string& Path() const { return path; }

 private:
  std::string path;
};

}  // namespace molvane
