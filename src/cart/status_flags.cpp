#include "cart/status_flags.h"

#include <cstdint>

#include "app/cart_controller.h"
#include "base/number_text.h"

namespace molvane {
namespace {

// The number's low bits hold the flags; longer numbers simply wrap instead of overflowing. The
// status word is a whole item: a reply such as "error" starts with hex digits but is no word,
// and sets no flag.
std::uint32_t LeadingHexNumber(const std::string& text) {
  std::size_t at = text.find_first_not_of(" \t");
  if (at == std::string::npos) return 0;
  const bool prefixed = text.compare(at, 2, "0x") == 0 || text.compare(at, 2, "0X") == 0;
  if (prefixed && at + 2 < text.size() && HexDigitValue(text[at + 2]) >= 0) at += 2;
  std::uint32_t value = 0;
  for (; at < text.size() && HexDigitValue(text[at]) >= 0; ++at) {
    value = value * 16u + static_cast<std::uint32_t>(HexDigitValue(text[at]));
  }
  const bool wholeItem = at == text.size() || text[at] == ' ' || text[at] == '\t';
  return wholeItem ? value : 0;
}

}  // namespace

StatusFlags DecodeStatusFlags(const std::string& statusLine) {
  const std::uint32_t word = LeadingHexNumber(statusLine);
  StatusFlags flags;
  flags.drawerUnlocked = (word & StatusFlags::kDrawerUnlockedBit) != 0;
  flags.keyboardLampOn = (word & StatusFlags::kKeyboardLampOnBit) != 0;
  flags.lifting = (word & StatusFlags::kLiftingBit) != 0;
  return flags;
}

Result<std::string> ReadCartStatus(CartController& controller) { return controller.GetStatus(); }

}  // namespace molvane
