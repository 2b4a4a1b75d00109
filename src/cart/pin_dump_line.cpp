#include "cart/pin_dump_line.h"

#include <cstdint>
#include <limits>

#include "base/cart_time.h"
#include "base/number_text.h"

namespace molvane {

bool ParsePinDumpLine(std::string_view line, PinEntry& entry) {
  std::uint64_t f[7] = {};
  if (!ScanExactUnsignedNumbers(line, f, 7)) return false;
  if (f[0] > std::numeric_limits<std::uint32_t>::max()) return false;
  entry.pin = static_cast<std::uint32_t>(f[0]);
  entry.activationTime = CartTimeToSeconds({f[1], f[2], f[3], f[4], f[5], f[6]});
  return true;
}

}  // namespace molvane
