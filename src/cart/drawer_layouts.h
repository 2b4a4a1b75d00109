#pragma once
#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace molvane {

// The drawer layouts a cart can be built with. A layout's code is the drawer sensor mask the
// cart is given with "sensor_set_mask": the front has two columns of four drawer places, bits
// 0 to 3 the right column from the bottom up, bits 4 to 7 the left column from the bottom up,
// and each drawer has its sensor at its top place.
struct DrawerLayout {
  int code;
  const char* description;
};

inline constexpr std::array<DrawerLayout, 7> kDrawerLayouts{{
    {0xFF, "four single drawers in each column"},
    {0x88, "one full-height drawer in each column"},
    {0x8F, "left: one full-height drawer; right: four single drawers"},
    {0xF8, "left: four single drawers; right: one full-height drawer"},
    {0xFE, "left: four single drawers; right: two single drawers over a double drawer"},
    {0xEE, "each column two single drawers over a double drawer"},
    {0xAA, "each column two double drawers"},
}};
inline constexpr int kDrawerPlaces = 4;  // in one column

// The index in kDrawerLayouts of the layout with this code, -1 when none has it.
int DrawerLayoutIndex(int code);

// One column's drawers from the top, each as its height in places (1, 2 or 4): a drawer starts
// at the top place and at every place with a sensor.
std::vector<int> DrawerColumn(int code, bool left);

// The layout's short name: each column's drawer heights from the top, left column first,
// "4/1111" for code 0x8F.
std::string DrawerLayoutName(int code);

// The layout named by its short name or by its code in decimal or "0x" hexadecimal; -1 when
// the text names none of them.
int FindDrawerLayout(std::string_view text);

}  // namespace molvane
