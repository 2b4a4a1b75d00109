#pragma once
#include <string>

#include "app/outcome.h"

namespace molvane {

// The three bits of the cart's status word that an operator watches. The word is the hexadecimal
// number at the start of the status line: blanks before it are skipped, a 0x prefix is allowed,
// and it ends at a blank or the end of the line. A line whose first item is not such a number
// ("error", "unknown cmd") sets no flag.
struct StatusFlags {
  static constexpr unsigned kDrawerUnlockedBit = 0x80;
  static constexpr unsigned kKeyboardLampOnBit = 0x40;
  static constexpr unsigned kLiftingBit = 0x08;

  bool drawerUnlocked = false;
  bool keyboardLampOn = false;
  bool lifting = false;  // lifting or lowering
};

StatusFlags DecodeStatusFlags(const std::string& statusLine);

class CartController;

// "status" on the connected cart: its status line, and whether it came.
Result<std::string> ReadCartStatus(CartController& controller);

// The flags' names as the operator reads them beside their boxes.
inline constexpr const char* kDrawerUnlockedLabel = "Drawer Unlocked";
inline constexpr const char* kKeyboardLampOnLabel = "Keyboard Lamp On";
inline constexpr const char* kLiftingLabel = "Cart Is Lifting/Lowering";

}  // namespace molvane
