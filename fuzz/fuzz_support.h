#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzzing {

// A folder of its own for this fuzzing process, made on first use and left for the operating
// system's /tmp cleaning (libFuzzer ends the process without running destructors).
const std::string& ScratchFolder();

// A folder name that does not exist, for traffic traces: writing one line per received byte
// would cost more than the parsing under test.
std::string NoTraceFolder();

// Writes the input to a file in the scratch folder and returns its path.
std::string WriteInput(const std::uint8_t* data, std::size_t size, const char* name);

// Stops the run the way a crash does, so that libFuzzer saves the input that broke a rule.
[[noreturn]] void Fail(const char* what);
inline void Require(bool holds, const char* what) {
  if (!holds) Fail(what);
}

}  // namespace fuzzing
