// The system's name from uname, and the distribution's from os-release where there is one.
#include <sys/utsname.h>

#include <fstream>

#include "app/build_info.h"

namespace molvane {
namespace {

// PRETTY_NAME="Debian GNU/Linux 12 (bookworm)" without its quotes; empty without the file.
std::string DistributionName() {
  std::ifstream in("/etc/os-release");
  static constexpr std::string_view kKey = "PRETTY_NAME=";
  for (std::string line; std::getline(in, line);) {
    if (line.rfind(kKey, 0) != 0) continue;
    std::string value = line.substr(kKey.size());
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
      value = value.substr(1, value.size() - 2);
    return value;
  }
  return {};
}

}  // namespace

std::string OperatingSystemText() {
  utsname name{};
  if (::uname(&name) != 0) return "unknown";
  std::string text = std::string(name.sysname) + " " + name.release + " " + name.machine;
  const std::string distribution = DistributionName();
  if (!distribution.empty()) text += " (" + distribution + ")";
  return text;
}

}  // namespace molvane
