#include "cart/status_flags.h"

#include <gtest/gtest.h>

namespace {

struct Case {
  const char* line;
  bool drawer, lamp, lifting;
};

// The number at the start of the line decides; a reply that is not a number sets no flag, also
// an error word that begins with a hexadecimal digit.
TEST(StatusFlags, LeadingHexNumberGivesBitsSevenSixAndThree) {
  const Case cases[] = {
      {"80", true, false, false},          {"C8", true, true, true},
      {"48", false, true, true},           {"c8 bat 26.4V", true, true, true},
      {"  0x40", false, true, false},      {"0x", false, false, false},
      {"37", false, false, false},         {"error", false, false, false},
      {"Timeout", false, false, false},    {"", false, false, false},
      {"1C8", true, true, true},           {"FFFFFFFFFFFFFF08", false, false, true},
      {"deadbeef8x", false, false, false},
  };
  for (const Case& c : cases) {
    const molvane::StatusFlags flags = molvane::DecodeStatusFlags(c.line);
    EXPECT_EQ(flags.drawerUnlocked, c.drawer) << c.line;
    EXPECT_EQ(flags.keyboardLampOn, c.lamp) << c.line;
    EXPECT_EQ(flags.lifting, c.lifting) << c.line;
  }
}

}  // namespace
