#include "cart/drawer_layouts.h"

#include <charconv>

namespace molvane {
namespace {

// The code a text gives in decimal or with a "0x" prefix in hexadecimal; -1 when it is not
// such a number as a whole.
int CodeFromText(std::string_view text) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    base = 16;
  }
  int code = -1;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, code, base);
  if (text.empty() || error != std::errc() || stop != end) return -1;
  return code;
}

}  // namespace

int DrawerLayoutIndex(int code) {
  for (std::size_t i = 0; i < kDrawerLayouts.size(); ++i) {
    if (kDrawerLayouts[i].code == code) return static_cast<int>(i);
  }
  return -1;
}

std::vector<int> DrawerColumn(int code, bool left) {
  const unsigned places = (static_cast<unsigned>(code) >> (left ? kDrawerPlaces : 0)) & 0xFu;
  std::vector<int> drawers;
  for (int place = kDrawerPlaces - 1; place >= 0; --place) {
    const bool sensor = ((places >> place) & 1u) != 0;
    if (drawers.empty() || sensor) {
      drawers.push_back(1);
    } else {
      ++drawers.back();
    }
  }
  return drawers;
}

std::string DrawerLayoutName(int code) {
  std::string name;
  for (const bool left : {true, false}) {
    if (!left) name += '/';
    for (const int height : DrawerColumn(code, left)) name += static_cast<char>('0' + height);
  }
  return name;
}

int FindDrawerLayout(std::string_view text) {
  for (std::size_t i = 0; i < kDrawerLayouts.size(); ++i) {
    if (DrawerLayoutName(kDrawerLayouts[i].code) == text) return static_cast<int>(i);
  }
  return DrawerLayoutIndex(CodeFromText(text));
}

}  // namespace molvane
