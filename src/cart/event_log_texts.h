#pragma once
#include <string>

namespace molvane {

// What the operator is told after an export of the access log.
inline constexpr const char* kLogWritten = "Log successfully written.";

inline std::string LogNotWritten(const std::string& path) {
  return "The log could not be written to " + path + ".";
}

}  // namespace molvane
