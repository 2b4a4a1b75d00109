#pragma once
#include <cstdint>
#include <functional>

namespace molvane {

// Seconds since 1970, UTC. Every "now" in the core comes from here so tests can pin it.
std::int64_t Now();

// Replaces the clock; an empty function restores the system clock.
void SetClockForTest(std::function<std::int64_t()> clock);

}  // namespace molvane
