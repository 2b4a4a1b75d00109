#pragma once
#include <cstddef>
#include <string>
#include <string_view>

#include "base/character_filter.h"

namespace molvane {

// The badge format fields as the cart takes them. The mask holds one character per badge bit;
// their meaning is the cart's, so nothing here interprets them.
inline constexpr std::size_t kMaxRfidBitsLength = 2;
inline constexpr std::size_t kMaxFacilityLength = 5;
inline constexpr std::size_t kMaxRfidMaskLength = 84;
inline constexpr std::size_t kMaxPinDigitsLength = 3;  // the longest reply taken as a setting
inline constexpr const char* kRfidMaskCharacters = "PFB0123456789";

// Every character is one of kRfidMaskCharacters (an empty text passes).
bool IsRfidMaskText(std::string_view text);
bool IsDigitText(std::string_view text);  // digits only; an empty text passes

// The bit count (the leading number of its text, 0 without one) equals the mask's length.
bool RfidBitsMatchMask(std::string_view bits, std::string_view mask);
// "Error: Bits (26) does not match Mask length of 25!"
std::string RfidMismatchText(std::string_view bits, std::string_view mask);

// What the mask field lets the operator type: the mask characters, at most kMaxRfidMaskLength.
CharacterFilter RfidMaskFilter();
// What the bit count field lets the operator type: digits, at most kMaxRfidBitsLength.
CharacterFilter RfidBitsFilter();

}  // namespace molvane
