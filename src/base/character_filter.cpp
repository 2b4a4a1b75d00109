#include "base/character_filter.h"

#include <algorithm>

namespace molvane {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The lead bytes of UTF-8: the bits that mark each, and how many bytes follow it.
struct Lead {
  unsigned mask;
  unsigned mark;
  int following;
};
constexpr Lead kLeads[] = {{0x80, 0x00, 0}, {0xE0, 0xC0, 1}, {0xF0, 0xE0, 2}, {0xF8, 0xF0, 3}};

// How many bytes follow a character's lead byte, with the bits the lead byte carries; -1 for a
// byte that starts no character.
int Following(unsigned char byte, char32_t& bits) {
  for (const Lead& lead : kLeads) {
    if ((byte & lead.mask) != lead.mark) continue;
    bits = byte & ~lead.mask & 0xFFu;
    return lead.following;
  }
  return -1;
}

}  // namespace

std::u32string DecodeUtf8(std::string_view text) {
  std::u32string characters;
  std::size_t at = 0;
  while (at < text.size()) {
    char32_t c = 0;
    const int following = Following(static_cast<unsigned char>(text[at]), c);
    std::size_t next = at + 1;
    for (int i = 0; i < following && next < text.size(); ++i, ++next) {
      const auto byte = static_cast<unsigned char>(text[next]);
      if ((byte & 0xC0) != 0x80) break;
      c = (c << 6) | (byte & 0x3F);
    }
    const bool whole = following >= 0 && next - at == static_cast<std::size_t>(following) + 1;
    characters.push_back(whole ? c : kReplacement);
    at = next;
  }
  return characters;
}

CharacterFilter CharacterFilter::Allowing(std::string_view allowed, std::size_t maxLength) {
  CharacterFilter filter;
  filter.allowed = DecodeUtf8(allowed).substr(0, kMaxAllowed);
  filter.maxLength = maxLength;
  filter.filtering = true;
  return filter;
}

bool CharacterFilter::Allows(char32_t c) const {
  return !filtering || allowed.find(c) != std::u32string::npos;
}

bool CharacterFilter::PassesTyped(char32_t c, bool controlOrAlt) const {
  return controlOrAlt || c < 32 || c == 127 || Allows(c);
}

bool CharacterFilter::IsValid(std::string_view utf8) const {
  if (!filtering) return true;
  const std::u32string characters = DecodeUtf8(utf8);
  return std::all_of(characters.begin(), characters.end(),
                     [this](char32_t c) { return Allows(c); });
}

}  // namespace molvane
