#pragma once
#include <array>
#include <cstdint>

namespace molvane {

// The 64 KiB flash image that the bootloader update sends page by page.
struct FirmwareImage {
  static constexpr int kSize = 65536;
  std::array<std::uint8_t, kSize> bytes{};
  int endAddress = 0;  // one past the highest address any data record wrote
  int pageSize = 0;    // from the bootloader header
  int pageCount = 0;   // endAddress / pageSize; pages 0..pageCount inclusive are sent
};

}  // namespace molvane
