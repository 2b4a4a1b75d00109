#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace molvane {

// Which characters an edit field lets in, and how many. A field starts with no filter in force;
// one that takes only certain characters (a badge mask, a PIN) is given a filter made by
// Allowing(). Texts are UTF-8 and are judged character by character, so a character of several
// bytes is one character, and one that is not in the set is refused as a whole.
class CharacterFilter {
 public:
  static constexpr std::size_t kMaxAllowed = 63;

  // The characters of `allowed` (cut at kMaxAllowed) are the only ones a text may hold, and the
  // field takes at most maxLength characters (0: no limit of the filter's own).
  static CharacterFilter Allowing(std::string_view allowed, std::size_t maxLength = 0);

  bool InForce() const { return filtering; }
  std::size_t MaxLength() const { return maxLength; }

  // A character that may stand in the text (case matters).
  bool Allows(char32_t c) const;
  // A character the operator types. Control characters (backspace and the like) and characters
  // typed with Control or Alt held are commands to the field rather than text, so they pass.
  bool PassesTyped(char32_t c, bool controlOrAlt) const;
  // Every character is allowed; an empty text is valid, and any text is while no filter is in
  // force. The length is the field's limit, not part of validity.
  bool IsValid(std::string_view utf8) const;

 private:
  std::u32string allowed;
  std::size_t maxLength = 0;
  bool filtering = false;
};

// The characters of a UTF-8 text; a byte that starts no valid character becomes U+FFFD.
std::u32string DecodeUtf8(std::string_view text);

}  // namespace molvane
