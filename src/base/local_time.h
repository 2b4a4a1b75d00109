#pragma once
#include <ctime>

namespace molvane {

// The C library's thread-safe local-time conversion, which each platform spells its own way.
bool LocalTime(std::time_t seconds, std::tm& fields);

}  // namespace molvane
