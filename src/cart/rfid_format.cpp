#include "cart/rfid_format.h"

#include "base/number_text.h"

namespace molvane {

bool IsRfidMaskText(std::string_view text) {
  return text.find_first_not_of(kRfidMaskCharacters) == std::string_view::npos;
}

bool IsDigitText(std::string_view text) {
  return text.find_first_not_of("0123456789") == std::string_view::npos;
}

bool RfidBitsMatchMask(std::string_view bits, std::string_view mask) {
  const int count = TextToInt(bits);
  return count >= 0 && static_cast<std::size_t>(count) == mask.size();
}

std::string RfidMismatchText(std::string_view bits, std::string_view mask) {
  return "Error: Bits (" + std::to_string(TextToInt(bits)) + ") does not match Mask length of " +
         std::to_string(mask.size()) + "!";
}

CharacterFilter RfidMaskFilter() {
  return CharacterFilter::Allowing(kRfidMaskCharacters, kMaxRfidMaskLength);
}

CharacterFilter RfidBitsFilter() {
  return CharacterFilter::Allowing("0123456789", kMaxRfidBitsLength);
}

}  // namespace molvane
