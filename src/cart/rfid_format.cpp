#include "cart/rfid_format.h"

#include "base/number_text.h"
#include "base/printable_text.h"

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

namespace {

bool AllDigits(const std::string& text, std::size_t maxLength) {
  return !text.empty() && text.size() <= maxLength && IsDigitText(text);
}

}  // namespace

Outcome CheckRfidFormat(const std::string& bits, const std::string& mask,
                        const std::string& facility) {
  if (!AllDigits(bits, kMaxRfidBitsLength)) {
    return Outcome::Failure("The RFID bits must be one or two digits, not '" +
                            PrintableText(bits, 24) + "'.");
  }
  if (!AllDigits(facility, kMaxFacilityLength)) {
    return Outcome::Failure("The facility code must be one to five digits, not '" +
                            PrintableText(facility, 24) + "'.");
  }
  if (mask.empty() || mask.size() > kMaxRfidMaskLength || !IsRfidMaskText(mask)) {
    return Outcome::Failure("The RFID mask must be 1 to 84 of the characters P, F, B and 0-9.");
  }
  if (!RfidBitsMatchMask(bits, mask)) return Outcome::Failure(RfidMismatchText(bits, mask));
  return Outcome::Success();
}

CharacterFilter RfidMaskFilter() {
  return CharacterFilter::Allowing(kRfidMaskCharacters, kMaxRfidMaskLength);
}

CharacterFilter RfidBitsFilter() {
  return CharacterFilter::Allowing("0123456789", kMaxRfidBitsLength);
}

}  // namespace molvane
