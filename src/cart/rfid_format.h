#pragma once
#include <cstddef>
#include <string>
#include <string_view>

#include "app/outcome.h"
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

// A badge format the cart can be sent: one or two digits of bits, a mask of 1 to 84 mask
// characters as long as the bit count, a facility code of one to five digits. The refusal names
// the first field that is not.
Outcome CheckRfidFormat(const std::string& bits, const std::string& mask,
                        const std::string& facility);

// What the mask field lets the operator type: the mask characters, at most kMaxRfidMaskLength.
CharacterFilter RfidMaskFilter();
// What the bit count field lets the operator type: digits, at most kMaxRfidBitsLength.
CharacterFilter RfidBitsFilter();

}  // namespace molvane
