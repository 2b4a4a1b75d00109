// What the operator may type: the filter the edit fields apply, and the rules that make theirs.
#include <gtest/gtest.h>

#include "base/character_filter.h"
#include "cart/pin_text.h"
#include "cart/rfid_format.h"

namespace {

using molvane::CharacterFilter;

TEST(CharacterFilter, RfidMaskTakesOnlyItsCharacters) {
  const CharacterFilter mask = molvane::RfidMaskFilter();
  EXPECT_EQ(mask.MaxLength(), 84u);
  EXPECT_TRUE(mask.IsValid("PFB0123456789"));
  EXPECT_TRUE(mask.IsValid(""));
  EXPECT_FALSE(mask.IsValid("PFFB-")) << "a hyphen at the end spoils the whole text";
  EXPECT_FALSE(mask.IsValid("pFB")) << "case matters";
  EXPECT_FALSE(mask.PassesTyped(U'p', false));
  EXPECT_FALSE(mask.PassesTyped(U'-', false));
  EXPECT_TRUE(mask.PassesTyped(U'\b', false)) << "backspace is a command, not text";
  EXPECT_TRUE(mask.PassesTyped(U'v', true)) << "a shortcut with Control passes";
  EXPECT_TRUE(CharacterFilter().IsValid("anything -- at all"));
}

TEST(CharacterFilter, CharactersOfSeveralBytesAreWholeCharacters) {
  const CharacterFilter accents = CharacterFilter::Allowing(std::string("\xC3\xA9") + "a");
  EXPECT_TRUE(accents.IsValid("a\xC3\xA9"));
  EXPECT_FALSE(accents.IsValid("\xC3\xA8")) << "è shares its first byte with é";
  EXPECT_FALSE(accents.IsValid("\xC3")) << "a cut character is no character of the set";
  EXPECT_EQ(molvane::DecodeUtf8("a\xE2\x82\xAC\xF0\x9F\x98\x80"),
            (std::u32string{U'a', U'\u20AC', U'\U0001F600'}));

  const CharacterFilter cut = CharacterFilter::Allowing(std::string(63, 'a') + "bc");
  EXPECT_TRUE(cut.Allows(U'a'));
  EXPECT_FALSE(cut.Allows(U'b')) << "the set holds at most 63 characters";
}

TEST(PinText, DigitsBelowTwoToTheThirtySecond) {
  EXPECT_TRUE(molvane::IsAcceptablePinText("4294967295"));
  EXPECT_FALSE(molvane::IsAcceptablePinText("4294967296"));
  EXPECT_FALSE(molvane::IsAcceptablePinText("9999999999"));
  EXPECT_FALSE(molvane::IsAcceptablePinText("00000000001")) << "eleven characters";
  EXPECT_FALSE(molvane::IsAcceptablePinText("12a"));
  EXPECT_TRUE(molvane::IsAcceptablePinText("417"));
  EXPECT_TRUE(molvane::IsAcceptablePinText(""));
}

}  // namespace
