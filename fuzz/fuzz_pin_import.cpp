// A PIN list file picked by the operator: split into lines, checked, and imported into a
// controller with no cart (the PINs would be sent; nothing is there to take them).
#include <limits>
#include <memory>
#include <string_view>

#include "app/cart_controller.h"
#include "cart/pin_list_file.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view content(reinterpret_cast<const char*>(data), size);
  int lastNumber = 0;
  for (const molvane::PinFileLine& line : molvane::SplitPinFile(content)) {
    fuzzing::Require(line.lineNumber > lastNumber, "line numbers do not grow");
    lastNumber = line.lineNumber;
    fuzzing::Require(line.item.find_first_of(" \t\r\n") == std::string::npos,
                     "an item with a blank");
    if (line.hasPin) fuzzing::Require(!line.item.empty(), "a PIN without an item");
    (void)molvane::PinItemInRange(line.item);
    const std::string quoted = molvane::QuotedItem(line.item);
    fuzzing::Require(quoted.size() <= 27, "a quoted item longer than its bound");
    for (const char c : quoted) fuzzing::Require(c >= ' ' && c <= '~', "an unprintable quote");
  }

  static auto controller =
      std::make_unique<molvane::CartController>(fuzzing::NoTraceFolder(), fuzzing::ScratchFolder());
  const std::string path = fuzzing::WriteInput(data, size, "pins.txt");
  (void)molvane::ImportPinList(*controller, path);
  return 0;
}
