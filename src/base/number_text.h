#pragma once
#include <cstdint>
#include <string_view>

namespace molvane {

// Conversions of cart replies and typed texts. They never fail: text that holds no number gives
// 0, as the C library's atoi-style readers did, and values too large for the result saturate.

// The value of one hexadecimal digit (0-9, A-F, a-f); -1 for any other character.
int HexDigitValue(char c);

// Leading blanks skipped, optional sign, digits up to the first other character.
int TextToInt(std::string_view text);

// A PIN as typed or listed: leading blanks skipped, then decimal digits as an unsigned 32-bit
// number. A text whose digits exceed 4294967295 gives 4294967295.
std::uint32_t TextToPin(std::string_view text);

// Reads up to maxCount unsigned decimal numbers separated by blanks, from the start of the text,
// stopping at the first item that is not a number. Returns how many were read. Values that
// overflow 64 bits saturate.
int ScanUnsignedNumbers(std::string_view text, std::uint64_t* values, int maxCount);

// Exactly `count` unsigned decimal numbers, separated by blanks, and nothing but blanks before
// and after them. False for any other text (a stray character, one number more or less); the
// values are then not to be used.
bool ScanExactUnsignedNumbers(std::string_view text, std::uint64_t* values, int count);

// One unsigned decimal number at the start of the text after blanks and tabs; false when the text
// does not start with a digit there.
bool LeadingUnsigned(std::string_view text, std::uint64_t& value);

// A single-precision number as typed or reported: leading blanks skipped, optional sign, then
// the longest decimal number there ("2.5", "23.51", "1e2"), read with '.' as the decimal point
// whatever the program's locale. 0 when there is none ("inf" and "nan" included); values beyond
// the float range saturate at the largest float, so the result is always finite.
float TextToFloat(std::string_view text);

}  // namespace molvane
