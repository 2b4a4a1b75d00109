#pragma once
#include <array>
#include <cstdint>

namespace molvane {

struct PinEntry {
  std::uint32_t pin = 0;
  std::int64_t activationTime = 0;  // seconds since 1970, UTC
};

// The controller's copy of the cart's PIN list.
struct PinList {
  static constexpr int kMaxPins = 128;
  std::array<PinEntry, kMaxPins> entries{};
  int count = 0;
  int oldestIndex = 0;  // -1 when the last dump found no PIN with an age of 0 or more
};

}  // namespace molvane
